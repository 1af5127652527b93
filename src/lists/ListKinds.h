#pragma once
#include <QString>
#include <QVector>

namespace qv {

class Database;

// One of the twelve reference lists: a table of names (identity `id`, text `name`) with its editor
// window, the texts that window shows and the ways in which it differs from the other eleven.
struct ListKind {
    QString window;                  // class and object name of the editor window ("Frm_Post")
    QString caption;                 // window title ("职位管理")
    QString table;                   // the list's table ("Dict_zw")
    QString label;                   // text above the name box ("职位")
    int right = 0;                   // the operator's right that enables the menu entry
    QString menuEntry;               // the main window's menu entry that opens the editor
    QString emptyMessage;            // refusal of an empty name
    QString duplicateMessage;        // refusal of a name the list already holds
    bool copyOnClick = false;        // a click on a grid row copies its name into the box
    bool saveLayoutOnClose = false;  // the grid's column layout is stored when the window closes
    bool centred = true;             // opens centred on the screen (else at its own fixed place)
};

// The twelve lists in the order of the main window's menu.
const QVector<ListKind>& listKinds();
// The list edited by the window of that name; null when there is none.
const ListKind* listKindOfWindow(const QString& window);

namespace lists {

// Grid key of the column configuration shared by every list editor, as the editors pass it when they
// build the grid and when they rebuild or store it.
inline const QString kGridKey = QStringLiteral("Other");
inline const QString kGridKeyAfterSave = QStringLiteral("other");

// The statement that shows a list in its editor (with the key the grid's own edits need).
QString listStatement(const QString& table);
// The statement the editor re-reads the list with before it appends a new name.
QString reloadStatement(const QString& table);

// True when the table already holds `name`: compared as the database compares text (without
// letter case), with leading and trailing blanks of both the stored and the given name ignored.
bool nameTaken(Database& db, const QString& table, const QString& name);

}  // namespace lists
}  // namespace qv
