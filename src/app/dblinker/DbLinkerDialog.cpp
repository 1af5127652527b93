#include "DbLinkerDialog.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ConnectionSequence.h"
#include "IniFile.h"
#include "Prompter.h"

namespace qv {

namespace {
const QString kSection = QStringLiteral("DBConn");
enum DriverItem { SqliteItem = 0, PostgresItem = 1 };
}  // namespace

QString DbLinkerDialog::caption() { return QStringLiteral("提醒"); }
QString DbLinkerDialog::okText() { return QStringLiteral("连接成功!"); }
QString DbLinkerDialog::notInitialisedText() {
    return QStringLiteral("连接成功,但这个数据库还没有初始化,请先用 quorvan-admin init 建立数据库。");
}
QString DbLinkerDialog::failedText(const QString& error) {
    return QStringLiteral("连接失败:\n%1").arg(error);
}
QString DbLinkerDialog::saveFailedText() { return QStringLiteral("无法写入配置文件Config.ini!"); }

DbLinkerDialog::DbLinkerDialog(IniFile& ini, Prompter& prompter, QString home, QWidget* parent)
    : QDialog(parent), ini_(ini), prompter_(prompter), home_(std::move(home)) {
    setObjectName(QStringLiteral("DbLinkerDialog"));
    setWindowTitle(QStringLiteral("数据库连接设置"));

    Combo_Driver = new QComboBox(this);
    Combo_Driver->setObjectName(QStringLiteral("Combo_Driver"));
    Combo_Driver->addItems({QStringLiteral("SQLite"), QStringLiteral("PostgreSQL")});
    Edit_Server = new QLineEdit(this);
    Edit_Server->setObjectName(QStringLiteral("Edit_Server"));
    Edit_Server->setPlaceholderText(QStringLiteral("主机 或 主机:端口"));
    Edit_Database = new QLineEdit(this);
    Edit_Database->setObjectName(QStringLiteral("Edit_Database"));
    Btn_Browse = new QPushButton(QStringLiteral("..."), this);
    Btn_Browse->setObjectName(QStringLiteral("Btn_Browse"));
    Btn_Browse->setFixedWidth(32);
    Edit_User = new QLineEdit(this);
    Edit_User->setObjectName(QStringLiteral("Edit_User"));
    Edit_Password = new QLineEdit(this);
    Edit_Password->setObjectName(QStringLiteral("Edit_Password"));
    Edit_Password->setEchoMode(QLineEdit::Password);
    Btn_Test = new QPushButton(QStringLiteral("测试连接"), this);
    Btn_Test->setObjectName(QStringLiteral("Btn_Test"));
    Btn_Save = new QPushButton(QStringLiteral("保存"), this);
    Btn_Save->setObjectName(QStringLiteral("Btn_Save"));
    Btn_Cancel = new QPushButton(QStringLiteral("取消"), this);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));

    auto* dbRow = new QHBoxLayout;
    dbRow->addWidget(Edit_Database);
    dbRow->addWidget(Btn_Browse);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("驱动:"), Combo_Driver);
    form->addRow(QStringLiteral("服务器:"), Edit_Server);
    form->addRow(QStringLiteral("数据库:"), dbRow);
    form->addRow(QStringLiteral("用户名:"), Edit_User);
    form->addRow(QStringLiteral("密码:"), Edit_Password);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Btn_Test);
    buttons->addStretch();
    buttons->addWidget(Btn_Save);
    buttons->addWidget(Btn_Cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons);
    setMinimumWidth(420);

    connect(Combo_Driver, &QComboBox::currentIndexChanged, this, &DbLinkerDialog::updateEnabled);
    connect(Btn_Browse, &QPushButton::clicked, this, &DbLinkerDialog::browse);
    connect(Btn_Test, &QPushButton::clicked, this, &DbLinkerDialog::testConnection);
    connect(Btn_Save, &QPushButton::clicked, this, &DbLinkerDialog::save);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    load();
}

void DbLinkerDialog::load() {
    ConnectionSettings s;
    QString ignored;
    ConnectionSequence::readSettings(ini_, home_, &s, &ignored);
    Combo_Driver->setCurrentIndex(s.driver == Driver::Postgres ? PostgresItem : SqliteItem);
    Edit_Server->setText(s.server);
    Edit_Database->setText(s.database);
    Edit_User->setText(s.user);
    Edit_Password->setText(s.password);
    updateEnabled();
}

void DbLinkerDialog::updateEnabled() {
    // A SQLite database is a file of this machine: server, user and password do not apply.
    const bool pg = Combo_Driver->currentIndex() == PostgresItem;
    Edit_Server->setEnabled(pg);
    Edit_User->setEnabled(pg);
    Edit_Password->setEnabled(pg);
    Btn_Browse->setEnabled(!pg);
}

ConnectionSettings DbLinkerDialog::settings() const {
    ConnectionSettings s;
    s.driver = Combo_Driver->currentIndex() == PostgresItem ? Driver::Postgres : Driver::Sqlite;
    s.server = Edit_Server->text().trimmed();
    s.database = Edit_Database->text().trimmed();
    s.user = Edit_User->text().trimmed();
    s.password = Edit_Password->text();
    s.baseDir = home_;
    return s;
}

void DbLinkerDialog::browse() {
    const QString file =
        prompter_.openFileName(QStringLiteral("选择数据库文件"), home_,
                               QStringLiteral("SQLite数据库(*.db *.sqlite);;所有文件(*)"), this);
    if (file.isEmpty()) return;
    // Inside the program folder the path is kept relative, so the folder can move as a whole.
    const QString rel = QDir(home_).relativeFilePath(QFileInfo(file).absoluteFilePath());
    Edit_Database->setText(rel.startsWith(QLatin1String("..")) ? QFileInfo(file).absoluteFilePath() : rel);
}

bool DbLinkerDialog::testConnection() {
    static int serial = 0;
    Database db(QStringLiteral("qv_dblinker_%1").arg(++serial));
    QString error;
    if (!db.open(settings(), &error)) {
        prompter_.message(failedText(error), caption(), QMessageBox::Warning, QMessageBox::Ok, this);
        return false;
    }
    const bool ours = db.hasTable(QStringLiteral("admin")) && db.hasTable(QStringLiteral("custom"));
    db.close();
    if (!ours) {
        prompter_.message(notInitialisedText(), caption(), QMessageBox::Warning, QMessageBox::Ok, this);
        return false;
    }
    prompter_.message(okText(), caption(), QMessageBox::Information, QMessageBox::Ok, this);
    return true;
}

bool DbLinkerDialog::save() {
    const ConnectionSettings s = settings();
    const bool ok = ini_.writeString(kSection, QStringLiteral("Driver"),
                                     s.driver == Driver::Postgres ? QStringLiteral("postgres")
                                                                  : QStringLiteral("sqlite")) &&
                    ini_.writeString(kSection, QStringLiteral("Server"), s.server) &&
                    ini_.writeString(kSection, QStringLiteral("Database"), s.database) &&
                    ini_.writeString(kSection, QStringLiteral("User"), s.user) &&
                    ini_.writeString(kSection, QStringLiteral("Password"), s.password);
    if (!ok) {
        prompter_.message(saveFailedText(), caption(), QMessageBox::Warning, QMessageBox::Ok, this);
        return false;
    }
    accept();
    return true;
}

}  // namespace qv
