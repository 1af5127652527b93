#pragma once
#include <QString>

namespace qv::customercodes {

// The address the mail handler opens for an e-mail box: "mailto:{address}", with the subject when given.
QString mailTarget(const QString& address, const QString& subject = QString());

// A web address typed without a scheme gets the one for plain web pages in front.
QString webTarget(const QString& text);

}  // namespace qv::customercodes
