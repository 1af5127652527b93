#pragma once
#include <QLineEdit>
#include <QObject>

class QAction;
class QMenu;

namespace qv {

// The digit filter of the telephone, fax, mobile, post code and income boxes: typed characters
// other than 0-9 and "." are discarded; backspace, delete, the cursor keys, home/end, select-all,
// copy, cut, undo and Enter/Tab keep working. Paste (keys or context menu) is accepted only when the
// clipboard holds digit text; dropping text and input methods are switched off. Text set by the
// program (a stored value being loaded) is not filtered.
class DigitFilter : public QObject {
    Q_OBJECT
public:
    // Installs a filter on the box; the box owns it.
    static DigitFilter* install(QLineEdit* edit);

    // Non-empty and made only of 0-9 and ".".
    static bool isDigitText(const QString& text);

    // Disables the paste entry of a box's context menu unless the clipboard holds digit text.
    static void restrictMenu(QMenu& menu);
    // The paste entry of a line edit's standard context menu.
    static bool isPasteAction(const QAction& action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DigitFilter(QLineEdit* edit);
};

// A line edit with the digit filter installed.
class DigitLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DigitLineEdit(QWidget* parent = nullptr);
};

}  // namespace qv
