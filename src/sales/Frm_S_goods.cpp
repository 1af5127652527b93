#include "Frm_S_goods.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CommandGuard.h"
#include "Context.h"
#include "Frm_Data.h"

namespace qv {

Frm_S_goods::Frm_S_goods(Context& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("Frm_S_goods"));
    setWindowTitle(QStringLiteral("查找商品"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto box = [this, grid](int row, const char* name, const QString& caption) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        auto* label = new QLabel(caption, this);
        label->setBuddy(e);
        grid->addWidget(label, row, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(e, row, 1);
        e->installEventFilter(this);
        return e;
    };
    Edit_Code = box(0, "Edit_Code", QStringLiteral("商品编码"));
    Edit_Name = box(1, "Edit_Name", QStringLiteral("商品名称"));
    Edit_Specific = box(2, "Edit_Specific", QStringLiteral("商品规格"));
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Btn_Search = new QPushButton(QStringLiteral("查找(&S)"), this);
    Btn_Search->setObjectName(QStringLiteral("Btn_Search"));
    Btn_Quit = new QPushButton(QStringLiteral("退出(&Q)"), this);
    Btn_Quit->setObjectName(QStringLiteral("Btn_Quit"));
    buttons->addWidget(Btn_Search);
    buttons->addWidget(Btn_Quit);
    layout->addLayout(buttons);
    connect(Btn_Search, &QPushButton::clicked, this, [this] {
        if (runGuarded(ctx_.prompter, this, [this] { runSearch(); })) accept();
    });
    connect(Btn_Quit, &QPushButton::clicked, this, &QDialog::reject);
    resize(360, 160);
}

QString Frm_S_goods::statement(const QString& code, const QString& name, const QString& specific,
                               Params* params) {
    struct Box {
        const QString& text;
        const char* condition;
        const char* param;
    };
    const Box boxes[] = {{code, "(product_Code like :code)", "code"},
                         {name, "(product like :name)", "name"},
                         {specific, "(Product_Specific like :specific)", "specific"}};
    QStringList conditions;
    for (const Box& b : boxes) {
        if (b.text.isEmpty()) continue;
        conditions << QString::fromLatin1(b.condition);
        params->insert(QString::fromLatin1(b.param), QLatin1Char('%') + b.text + QLatin1Char('%'));
    }
    if (conditions.isEmpty()) return QStringLiteral("select * from T_products");
    return QStringLiteral("select * from T_products where ") + conditions.join(QStringLiteral("AND"));
}

void Frm_S_goods::runSearch() {
    Params params;
    const QString sql = statement(Edit_Code->text(), Edit_Name->text(), Edit_Specific->text(), &params);
    Frm_Data& d = ctx_.data;
    d.OpenQuery(*d.Qry_Products, sql, params);
    emit searched();
}

bool Frm_S_goods::eventFilter(QObject* watched, QEvent* event) {
    // Every released key searches at once, so the list follows the typing.
    if (event->type() == QEvent::KeyRelease &&
        (watched == Edit_Code || watched == Edit_Name || watched == Edit_Specific))
        runGuarded(ctx_.prompter, this, [this] { runSearch(); });
    return QDialog::eventFilter(watched, event);
}

}  // namespace qv
