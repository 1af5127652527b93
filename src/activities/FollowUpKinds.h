#pragma once
#include <QPoint>
#include <QString>
#include <QVector>

#include "Frm_Data.h"

namespace qv {

// The five kinds of follow-up records (quotations, after-sale visits, complaints, follow-ups and
// contracts) share one editor; this table holds everything in which they differ.

enum class FollowUpControl {
    Date,         // date picker; saved as the date at midnight
    CheckedDate,  // date picker with a check box that changes nothing (the date is always saved)
    Text,         // one-line text
    Memo,         // multi-line text
    Money,        // amount box: digits and the decimal point, saved as money
    Number,       // number box: digits and the decimal point, saved as a floating-point number
    Combo,        // editable drop-down
    Path,         // file path with browse and "查看"
};

// What resetting the entries for the next record does to a control.
enum class FollowUpReset { Empty, Today, Keep };

// When a text is written trimmed.
enum class FollowUpTrim { Always, Never, WhenEditing };

struct FollowUpField {
    const char* label = "";
    FollowUpControl control = FollowUpControl::Text;
    const char* column = "";
    // The reference list menu entry whose editor the small button beside a drop-down opens.
    const char* listEntry = nullptr;
    // Drop-down items read each time the list opens: the trimmed `name` of every row of this statement.
    const char* onOpening = nullptr;
    // Drop-down items read once when the window shows: the trimmed second column of the table, in id order.
    const char* atStart = nullptr;
    FollowUpReset reset = FollowUpReset::Empty;
    FollowUpTrim trim = FollowUpTrim::Always;
    int maxLength = 50;  // one-line texts; the database refuses what is longer in memos
    // Saving with this field empty shows the message and writes nothing (a text of blanks passes).
    const char* requiredMessage = nullptr;
};

struct FollowUpKind {
    const char* window = "";      // object name of the dialog
    const char* addCommand = "";  // main window commands that open it
    const char* editCommand = "";
    const char* addCaption = "";
    const char* editCaption = "";
    const char* groupBox = "";
    Dataset* const Frm_Data::*dataset = nullptr;
    const char* table = "";
    bool centred = true;
    QPoint designedPosition = QPoint();  // where the window opens when not centred
    bool resetWhenAdding = false;        // the entries are also reset when the window opens in add mode
    QVector<FollowUpField> fields;
};

const QVector<FollowUpKind>& followUpKinds();

}  // namespace qv
