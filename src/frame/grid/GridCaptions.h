#pragma once
#include <QHash>
#include <QString>

namespace qv {

class Database;

// Captions of the column configuration (T_FieldShow) must differ between the columns of one grid key:
// the field chooser and the caption editor find a row by its caption, so two equal captions would
// change both rows.

// The message that refuses `caption`.
QString captionTakenText(const QString& caption);

// Checks captions about to be stored: `byId` gives new captions of single rows (by ID), `byField` the
// new caption of every row of a field, under any grid key (field names compared without case). Returns
// the first new caption that another column of the same grid key would then also carry, compared
// without case and surrounding blanks (grid keys too); empty when there is none. Empty captions and
// rows of the same field never clash. Throws DbError.
QString captionClash(const Database& db, const QHash<qint64, QString>& byId,
                     const QHash<QString, QString>& byField = {});

}  // namespace qv
