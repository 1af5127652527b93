#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>

class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace qv {

struct Context;

// The column chooser "选择显示的字段" of one grid key: the hidden and the shown captions of the key,
// moved between the two lists and stored as show 0/1 by caption. The display order is not stored
// here (it comes from the saved layout). The window that opened it applies the layout again.
class Frm_FieldShow : public QDialog {
    Q_OBJECT
public:
    Frm_FieldShow(Context& ctx, QString key, QWidget* parent = nullptr);

    const QString& key() const { return key_; }
    QStringList hiddenNames() const;
    QStringList shownNames() const;
    // "确定(&Y)" stored the lists at least once.
    bool saved() const { return saved_; }

private:
    void load();
    void moveSelected(QListWidget* from, QListWidget* to);
    void moveAll(QListWidget* from, QListWidget* to);
    void moveItem(QListWidget* from, QListWidget* to, QListWidgetItem* item);
    void updateButtons();
    void save();
    void editCaptions();

    Context& ctx_;
    QString key_;
    QListWidget* hidden_ = nullptr;
    QListWidget* shown_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* addAll_ = nullptr;
    QPushButton* removeAll_ = nullptr;
    bool saved_ = false;
};

// Opens the column chooser for the key through the context; true when the operator stored a choice.
bool ShowFieldChooser(Context& ctx, const QString& key, QWidget* parent = nullptr);

}  // namespace qv
