#include "Frm_FieldNames.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Context.h"
#include "DbError.h"
#include "Frm_Data.h"
#include "GridCaptions.h"
#include "Prompter.h"
#include "Transaction.h"

namespace qv {

namespace {

struct KindText {
    const char* key;
    const char* prefix;  // box names: prefix + number
    int count;
    QString title, label, explain, types;
};

KindText textsOf(Frm_FieldNames::Kind kind) {
    switch (kind) {
        case Frm_FieldNames::Kind::Customer:
            return {"custom",
                    "field",
                    6,
                    QStringLiteral("自定义选项"),
                    QStringLiteral("字符项%1"),
                    QStringLiteral("客户信息中自定义项目,根据您的需要,您可以定义自己的字段名称."),
                    QStringLiteral("字符项1--字符项6为文本型")};
        case Frm_FieldNames::Kind::Product:
            return {"Products",
                    "Goods",
                    20,
                    QStringLiteral("选择商品"),
                    QStringLiteral("商品%1"),
                    QStringLiteral("商品信息中自定义项目,根据您的需要,您可以定义自己的字段名称."),
                    QStringLiteral("商品1--商品20为文本型")};
        case Frm_FieldNames::Kind::Sale:
            break;
    }
    return {"Sale",
            "Bill",
            20,
            QStringLiteral("销售自定义选项"),
            QStringLiteral("字符项%1"),
            QStringLiteral("销售信息中自定义项目,根据您的需要,您可以定义自己的字段名称."),
            QStringLiteral("字符项1--字符项20为文本型.")};
}

}  // namespace

Frm_FieldNames::Frm_FieldNames(Context& ctx, Kind kind, QWidget* parent)
    : QDialog(parent), ctx_(ctx), kind_(kind) {
    const KindText t = textsOf(kind);
    setObjectName(QStringLiteral("Frm_FieldNames"));
    setWindowTitle(t.title);

    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("自定义项目"));

    auto* explain = new QLabel(t.explain, page);
    explain->setObjectName(QStringLiteral("Lbl_Explain"));
    explain->setWordWrap(true);
    auto* types = new QLabel(t.types, page);
    types->setObjectName(QStringLiteral("Lbl_Types"));

    // Up to ten boxes a column.
    auto* fields = new QGridLayout;
    for (int i = 0; i < t.count; ++i) {
        const QString name = QLatin1String(t.prefix) + QString::number(i + 1);
        auto* label = new QLabel(t.label.arg(i + 1), page);
        label->setObjectName(QStringLiteral("Lbl_") + name);
        auto* box = new QLineEdit(page);
        box->setObjectName(name);
        label->setBuddy(box);
        boxes_ << box;
        fields->addWidget(label, i % 10, (i / 10) * 2);
        fields->addWidget(box, i % 10, (i / 10) * 2 + 1);
    }
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(explain);
    pageLayout->addWidget(types);
    pageLayout->addLayout(fields);
    pageLayout->addStretch();

    auto* ok = new QPushButton(QStringLiteral("确定(&S)"), this);
    ok->setObjectName(QStringLiteral("Btn_OK"));
    auto* close = new QPushButton(QStringLiteral("关闭(&C)"), this);
    close->setObjectName(QStringLiteral("Btn_Close"));
    connect(ok, &QPushButton::clicked, this, &Frm_FieldNames::save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(close);

    auto* top = new QVBoxLayout(this);
    top->addWidget(tabs);
    top->addLayout(buttons);

    load();
}

QString Frm_FieldNames::key() const { return QLatin1String(textsOf(kind_).key); }

QStringList Frm_FieldNames::fieldNames() const {
    QStringList out;
    for (const QLineEdit* b : boxes_) out << b->objectName();
    return out;
}

QString Frm_FieldNames::caption(const QString& field) const {
    for (const QLineEdit* b : boxes_)
        if (b->objectName().compare(field, Qt::CaseInsensitive) == 0) return b->text();
    return {};
}

void Frm_FieldNames::load() {
    QSqlQuery q =
        ctx_.data.db().exec(QStringLiteral("select * From T_FieldShow where tablename=:key order by ID"),
                            {{QStringLiteral("key"), key()}});
    while (q.next()) {
        const QString field = q.value(QStringLiteral("Field")).toString().trimmed();
        // Rows of other columns of the key have no box.
        for (QLineEdit* b : boxes_)
            if (b->objectName().compare(field, Qt::CaseInsensitive) == 0)
                b->setText(q.value(QStringLiteral("Name")).toString().trimmed());
    }
}

void Frm_FieldNames::save() {
    Database& db = ctx_.data.db();
    try {
        // Every grid key that shows one of these fields must keep its captions apart.
        QHash<QString, QString> captions;
        for (const QLineEdit* b : boxes_) captions.insert(b->objectName(), b->text());
        const QString clash = captionClash(db, {}, captions);
        if (!clash.isEmpty()) {
            ctx_.prompter.warning(captionTakenText(clash), QStringLiteral("提醒"), this);
            for (QLineEdit* b : boxes_) {
                if (b->text().trimmed().compare(clash, Qt::CaseInsensitive) == 0) {
                    b->setFocus();
                    break;
                }
            }
            return;
        }
        Transaction t(db);
        for (const QLineEdit* b : boxes_)
            db.execute(QStringLiteral("update T_fieldshow set name=:name where field=:field"),
                       {{QStringLiteral("name"), b->text()}, {QStringLiteral("field"), b->objectName()}});
        t.commit();
    } catch (const DbError& e) {
        ctx_.prompter.error(e.text(), this);
        return;
    }
    ctx_.prompter.info(QStringLiteral("修改成功"), QStringLiteral("提醒"), this);
}

void ShowFieldNames(Context& ctx, Frm_FieldNames::Kind kind, QWidget* parent) {
    Frm_FieldNames dlg(ctx, kind, parent);
    ctx.runModal(dlg);
}

}  // namespace qv
