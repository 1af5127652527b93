#pragma once
#include <QString>
#include <QStringList>

namespace qv {

class Shell;

// The desktop programs of the utilities menu. None of them belongs to this system; a program that is
// missing or does not start shows nothing.
namespace ExternalTools {

// Calculators and text editors tried in this order.
const QStringList& calculators();
const QStringList& textEditors();

// Starts the first program of the list that is installed and starts; false when none did.
bool startFirstFound(Shell& shell, const QStringList& programs);

}  // namespace ExternalTools
}  // namespace qv
