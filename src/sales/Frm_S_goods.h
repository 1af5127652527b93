#pragma once
#include <QDialog>

#include "Database.h"

class QLineEdit;
class QPushButton;

namespace qv {

struct Context;

// The product search "查找商品": code, name and model (规格), each a part of the stored text. The
// shared product list follows every key released in a box, so the product window shows the matches
// while the operator types; "查找(&S)" searches once more and closes.
class Frm_S_goods : public QDialog {
    Q_OBJECT
public:
    explicit Frm_S_goods(Context& ctx, QWidget* parent = nullptr);

    // The statement for the boxes' texts: every non-empty box is one condition, all must hold; the
    // operator's "%" and "_" keep acting as wildcards.
    static QString statement(const QString& code, const QString& name, const QString& specific,
                             Params* params);

    // Reads the product list with the boxes' conditions, then tells the product window.
    void runSearch();

signals:
    void searched();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Context& ctx_;
    QLineEdit* Edit_Code = nullptr;
    QLineEdit* Edit_Name = nullptr;
    QLineEdit* Edit_Specific = nullptr;
    QPushButton* Btn_Search = nullptr;
    QPushButton* Btn_Quit = nullptr;
};

}  // namespace qv
