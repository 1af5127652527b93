#pragma once
#include <QDialog>
#include <QList>
#include <QString>

class QLineEdit;

namespace qv {

struct Context;

// The captions of the user-defined fields of customers (field1…field6), products (Goods1…Goods20) or
// sales bills (Bill1…Bill20). One box per field, named like the field. "确定(&S)" gives every
// column configuration row of that field its caption, under every grid key.
class Frm_FieldNames : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Customer, Product, Sale };

    Frm_FieldNames(Context& ctx, Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return kind_; }
    // The grid key whose captions fill the boxes: custom, Products or Sale.
    QString key() const;
    QStringList fieldNames() const;  // field1 … / Goods1 … / Bill1 …
    QString caption(const QString& field) const;

private:
    void load();
    void save();

    Context& ctx_;
    Kind kind_;
    QList<QLineEdit*> boxes_;
};

// Opens the dialog of that kind through the context.
void ShowFieldNames(Context& ctx, Frm_FieldNames::Kind kind, QWidget* parent = nullptr);

}  // namespace qv
