#pragma once
#include <QDialog>
#include <QHash>
#include <QString>

namespace qv {

struct Context;
class Dataset;
class DBGrid;

// The caption editor "设置表头的标签" of one grid key: the key's captions in a grid (laid out under
// the key FieldCaption) edited in place; "确定(&Y)" stores the edit of the current row. Moving to
// another row stores the edit left behind, as every dataset does.
class Frm_FieldCaption : public QDialog {
    Q_OBJECT
public:
    Frm_FieldCaption(Context& ctx, QString key, QWidget* parent = nullptr);
    ~Frm_FieldCaption() override;

    DBGrid* grid() const { return grid_; }
    Dataset* dataset() const { return ds_; }
    // Captions changed while the dialog was open, old caption -> new caption.
    QHash<QString, QString> renamed() const;

    void done(int result) override;

private:
    void store();

    Context& ctx_;
    QString key_;
    Dataset* ds_ = nullptr;
    DBGrid* grid_ = nullptr;
    QHash<qint64, QString> before_;  // ID -> caption when the dialog opened
};

}  // namespace qv
