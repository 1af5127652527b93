#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "DbError.h"
#include "Frm_Login.h"
#include "LoginFlow.h"
#include "PasswordHash.h"
#include "TestDb.h"
#include "WidgetAccess.h"
#include "WindowTest.h"

using namespace qv;
using test::child;
using test::Workstation;

namespace {

const QString kWarning = QStringLiteral("警告");

// Picks the operator by name in the login dialog, types the password and presses 确定(&Y).
void typeAndPress(QDialog& d, const QString& name, const QString& password) {
    auto* combo = child<QComboBox>(d, "Combo_User");
    combo->setCurrentIndex(combo->findText(name));
    auto* pass = child<QLineEdit>(d, "Edit_Pass");
    pass->clear();
    QTest::keyClicks(pass, password);
    QTest::mouseClick(child<QPushButton>(d, "Btn_OK"), Qt::LeftButton);
}

}  // namespace

class TestLogin : public test::WindowTest {
    Q_OBJECT

    void addOperator(const QString& name, const QString& password, int permit = 1, int isUser = 1) {
        ws->db().exec(
            QStringLiteral("insert into admin (UserName, Password, PartName, Permit, IsUser) "
                           "values (:n, :p, :r, :m, :u)"),
            {{"n", name}, {"p", password}, {"r", QStringLiteral("普通用户")}, {"m", permit}, {"u", isUser}});
        // His rights: a copy of the ordinary role's rows, as the operator editor writes them.
        ws->db().exec(
            QStringLiteral("insert into T_UserAuthority (UserName, Code, FunctionName, Authority, Tag) "
                           "select :n, Code, FunctionName, Authority, Tag from T_PartAuthority "
                           "where PartName = '普通用户'"),
            {{"n", name}});
    }
    QString storedPassword(const QString& name) {
        return ws->db()
            .scalar(QStringLiteral("select Password from admin where UserName = :n"), {{"n", name}})
            .toString();
    }

private slots:
    void attempts_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");  // empty: the login succeeds
        QTest::addColumn<bool>("passwordCleared");
        QTest::newRow("empty stored, empty typed") << ""
                                                   << ""
                                                   << "" << false;
        QTest::newRow("empty stored, something typed")
            << ""
            << "x"
            << "张三密码为空，您可以直接点击确定按钮登录！" << true;
        QTest::newRow("nothing typed") << "Secret"
                                       << ""
                                       << "请输入密码！" << false;
        QTest::newRow("other case is wrong") << "Secret"
                                             << "secret"
                                             << "密码错误，请重新输入密码！" << true;
        QTest::newRow("plain stored, right") << "Secret"
                                             << "Secret"
                                             << "" << false;
        QTest::newRow("trailing blank counts") << "Secret"
                                               << "Secret "
                                               << "密码错误，请重新输入密码！" << true;
        QTest::newRow("hash stored, right") << "hash:p;w'd"
                                            << "p;w'd"
                                            << "" << false;
        QTest::newRow("hash stored, wrong") << "hash:p;w'd"
                                            << "p;w'D"
                                            << "密码错误，请重新输入密码！" << true;
    }
    void attempts() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(bool, passwordCleared);
        if (stored.startsWith(QLatin1String("hash:"))) stored = password::hash(stored.mid(5));
        addOperator(QStringLiteral("张三"), stored);
        const bool succeeds = message.isEmpty();
        if (!succeeds) ws->prompter.expect(message, QMessageBox::Ok, kWarning);
        QString left;
        ws->onModal([&](QDialog& d) {
            typeAndPress(d, QStringLiteral("张三"), typed);
            left = child<QLineEdit>(d, "Edit_Pass")->text();
            if (!succeeds) QMetaObject::invokeMethod(&d, "reject");
        });
        QCOMPARE(runLoginDialog(*ws->ctx), succeeds);
        QVERIFY_PROMPTS(ws->prompter);
        if (!succeeds) {
            QCOMPARE(ws->prompter.shown().first().icon, QMessageBox::Critical);
            QCOMPARE(left.isEmpty(), passwordCleared || typed.isEmpty());
            QVERIFY(!ws->login.isLoggedIn());
            return;
        }
        QCOMPARE(ws->login.currentUser(), QStringLiteral("张三"));
        QCOMPARE(ws->login.userPermit(), 1);
        // A plain password is replaced by its hash once it has been typed correctly.
        const QString now = storedPassword(QStringLiteral("张三"));
        QCOMPARE(now.isEmpty(), typed.isEmpty());
        if (!typed.isEmpty()) {
            QVERIFY(password::isHash(now));
            QVERIFY(password::matches(now, typed));
        }
    }

    void emptyNameIsRefusedAndPositionIsStored() {
        // Nothing chosen: the list position -1 is stored even though the attempt failed.
        ws->prompter.expect(QStringLiteral("请选择一个用户名！"), QMessageBox::Ok, kWarning);
        ws->onModal([&](QDialog& d) {
            child<QComboBox>(d, "Combo_User")->setCurrentIndex(-1);
            QTest::mouseClick(child<QPushButton>(d, "Btn_OK"), Qt::LeftButton);
            QMetaObject::invokeMethod(&d, "reject");
        });
        QVERIFY(!runLoginDialog(*ws->ctx));
        QVERIFY_PROMPTS(ws->prompter);
        QCOMPARE(ws->data->ini().readInt("login", "username"), -1);

        // A failed attempt on the second operator stores position 1; the next dialog preselects it.
        addOperator(QStringLiteral("李四"), QStringLiteral("pw"));
        ws->prompter.expect(QStringLiteral("密码错误，请重新输入密码！"));
        ws->onModal([&](QDialog& d) {
            typeAndPress(d, QStringLiteral("李四"), QStringLiteral("bad"));
            QMetaObject::invokeMethod(&d, "reject");
        });
        QVERIFY(!runLoginDialog(*ws->ctx));
        QCOMPARE(ws->data->ini().readInt("LOGIN", "UserName"), 1);
        QString preselected;
        ws->onModal([&](QDialog& d) { preselected = child<QComboBox>(d, "Combo_User")->currentText(); });
        runLoginDialog(*ws->ctx);
        QCOMPARE(preselected, QStringLiteral("李四"));
    }

    void onlyActiveOperatorsAreOffered() {
        addOperator(QStringLiteral("在职"), QString());
        addOperator(QStringLiteral("离职"), QString(), 1, 0);
        QStringList offered;
        ws->onModal([&](QDialog& d) {
            auto* combo = child<QComboBox>(d, "Combo_User");
            for (int i = 0; i < combo->count(); ++i) offered << combo->itemText(i);
        });
        runLoginDialog(*ws->ctx);
        QCOMPARE(offered, (QStringList{"Admin", "在职"}));
    }

    void adminGetsEveryRightAndAllCustomers() {
        ws->db().exec(
            QStringLiteral("insert into custom (CustCode, Company, F_User) values ('K1', '甲', '别人')"));
        ws->onModal([&](QDialog& d) { typeAndPress(d, QStringLiteral("Admin"), QString()); });
        QVERIFY(runLoginDialog(*ws->ctx));
        QCOMPARE(ws->login.currentUser(), QStringLiteral("Admin"));
        QCOMPARE(ws->login.userPermit(), 0);
        for (int k = 1; k <= 92; ++k) QVERIFY2(ws->login.right(k), qPrintable(QString::number(k)));
        QVERIFY(!ws->login.right(93));
        QCOMPARE(ws->data->Qry_Cust->recordCount(), 1);
    }

    void rightsFollowCodeOrderNotStorageOrder() {
        // The rows are written in reverse code order: right k must still be the k-th code.
        ws->db().exec(
            QStringLiteral("insert into admin (UserName, Password, PartName, Permit) values "
                           "('倒序', '', '普通用户', 1)"));
        ws->db().exec(
            QStringLiteral("insert into T_UserAuthority (UserName, Code, FunctionName, Authority, Tag) "
                           "select '倒序', Code, FunctionName, case when Code = :c then 1 else 0 end, 0 "
                           "from T_System order by Code desc"),
            {{"c", ws->db().scalar(QStringLiteral("select Code from T_System order by Code"
                                                  " limit 1 offset 1"))}});
        ws->onModal([&](QDialog& d) { typeAndPress(d, QStringLiteral("倒序"), QString()); });
        QVERIFY(runLoginDialog(*ws->ctx));
        for (int k = 1; k <= 100; ++k) QCOMPARE(ws->login.right(k), k == 2);
    }

    void longNamesAreCutAndOwnRowsNotRecognised() {
        const QString name = QStringLiteral("一二三四五六七八九十一二三四五六七八九十廿");  // 21 characters
        addOperator(name, QString());
        ws->db().exec(
            QStringLiteral("insert into custom (CustCode, Company, F_User) values ('K1', '甲', :u)"),
            {{"u", name}});
        ws->onModal([&](QDialog& d) { typeAndPress(d, name, QString()); });
        QVERIFY(runLoginDialog(*ws->ctx));
        QCOMPARE(ws->login.currentUser(), name.left(20));
        // Without right 91 the list holds his own rows only, and the full name is not his any more.
        QVERIFY(!ws->login.right(91));
        QCOMPARE(ws->data->Qry_Cust->recordCount(), 0);
    }

    void cancelledReloginKeepsState() {
        addOperator(QStringLiteral("张三"), QStringLiteral("pw"));
        ws->loginAsAdmin();
        const auto rights = ws->login.rights();
        QSignalSpy announced(&ws->login, &LoginState::loggedIn);
        ws->prompter.expect(QStringLiteral("密码错误，请重新输入密码！"));
        ws->onModal([&](QDialog& d) {
            typeAndPress(d, QStringLiteral("张三"), QStringLiteral("wrong"));
            QTest::mouseClick(child<QPushButton>(d, "Btn_Cancel"), Qt::LeftButton);
        });
        QVERIFY(!runLoginDialog(*ws->ctx));
        QVERIFY_PROMPTS(ws->prompter);
        QCOMPARE(ws->login.currentUser(), QStringLiteral("Admin"));
        QCOMPARE(ws->login.userPermit(), 0);
        QVERIFY(ws->login.rights() == rights);
        QCOMPARE(announced.count(), 0);
    }

    // The chosen operator was removed on another workstation while the list was open: refused, the
    // list is read again without him, and the login state stays as it was.
    void vanishedOperatorIsRefused() {
        addOperator(QStringLiteral("张三"), QString());
        addOperator(QStringLiteral("李四"), QString());
        QSignalSpy announced(&ws->login, &LoginState::loggedIn);
        ws->prompter.expect(QStringLiteral("请选择一个用户名！"), QMessageBox::Ok, kWarning);
        QStringList offered;
        int chosen = 0;
        ws->onModal([&](QDialog& d) {
            ws->db().exec(QStringLiteral("delete from admin where UserName = :n"),
                          {{"n", QStringLiteral("张三")}});
            typeAndPress(d, QStringLiteral("张三"), QString());
            auto* combo = child<QComboBox>(d, "Combo_User");
            for (int i = 0; i < combo->count(); ++i) offered << combo->itemText(i);
            chosen = combo->currentIndex();
            QVERIFY(d.isVisible());
            QTest::mouseClick(child<QPushButton>(d, "Btn_Cancel"), Qt::LeftButton);
        });
        QCOMPARE(openLoginDialog(*ws->ctx), LoginResult::Cancelled);
        QVERIFY_WORKSTATION(*ws);
        QCOMPARE(offered, (QStringList{QStringLiteral("Admin"), QStringLiteral("李四")}));
        QCOMPARE(chosen, -1);
        QCOMPARE(announced.count(), 0);
        QCOMPARE(ws->login.currentUser(), QString());
    }

    // A database that connects but cannot serve the operator list: no dialog, the standard error box
    // with a text that says why. One without the operators table has not been initialised.
    void unreadableOperatorList_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("initialised");
        QTest::newRow("no tables") << QString() << false;
        QTest::newRow("other tables only") << QStringLiteral("create table custom (CustID integer)") << false;
        QTest::newRow("operators table unreadable")
            << QStringLiteral("create table admin (UserID integer)") << true;
    }
    void unreadableOperatorList() {
        QFETCH(QString, script);
        QFETCH(bool, initialised);
        const ConnectionSettings settings = test::TestDb::empty();
        Workstation bare(settings);
        if (!script.isEmpty()) bare.db().execScript(script);
        QString expected;
        if (initialised) {
            // The database's own text, which names the column it misses.
            bare.prompter.expectCaption(QStringLiteral("错误"));
        } else if (settings.driver == Driver::Postgres) {
            expected =
                QStringLiteral(
                    "PostgreSQL 数据库“%1”%2尚未初始化：其中没有操作员表 admin，程序无法运行。\n"
                    "请先用管理工具建立数据库的表和初始数据：quorvan-admin init")
                    .arg(settings.database, settings.server.isEmpty()
                                                ? QString()
                                                : QStringLiteral("（服务器 %1）").arg(settings.server));
        } else {
            expected = QStringLiteral(
                           "SQLite 数据库文件“%1”尚未初始化：其中没有操作员表 admin，程序无法运行。\n"
                           "请先用管理工具建立数据库的表和初始数据：quorvan-admin init")
                           .arg(QDir::toNativeSeparators(QFileInfo(settings.database).absoluteFilePath()));
        }
        if (!initialised) bare.prompter.expect(expected, QMessageBox::Ok, QStringLiteral("错误"));
        QCOMPARE(openLoginDialog(*bare.ctx), LoginResult::Failed);
        if (initialised)
            QVERIFY2(bare.prompter.shown().first().text.contains(QStringLiteral("IsUser"), Qt::CaseInsensitive),
                     qPrintable(bare.prompter.shown().first().text));
        QVERIFY_WORKSTATION(bare);
        QCOMPARE(bare.prompter.shown().first().icon, QMessageBox::Critical);
    }

    // Without IMG/Login.jpg the two hints are drawn in the palette's text colour, not white on the
    // blank header: the header shows dark text.
    void hintsReadableWithoutPicture() {
        QVERIFY(!QFile::exists(QDir(ws->home).filePath(QStringLiteral("IMG/Login.jpg"))));
        int dark = 0;
        ws->onModal([&](QDialog& d) {
            auto* header = child<QLabel>(d, "Image_Login");
            QCOMPARE(child<QLabel>(d, "Label_Hint1")->text(), QStringLiteral("请选择操作员姓名并输入相应密码"));
            QCOMPARE(child<QLabel>(d, "Label_Hint2")->text(), QStringLiteral("初始用户为：“Admin” 密码为空"));
            const QImage shot = header->grab().toImage();
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (qGray(shot.pixel(x, y)) < 96) ++dark;
            d.reject();
        });
        QCOMPARE(openLoginDialog(*ws->ctx), LoginResult::Cancelled);
        QVERIFY2(dark > 20, qPrintable(QString::number(dark)));
    }

    void passwordDialog() {
        addOperator(QStringLiteral("张三"), password::hash(QStringLiteral("old")));
        ws->loginAs(QStringLiteral("张三"), 1, {});
        auto fill = [](QDialog& d, const QString& cur, const QString& fresh, const QString& repeat) {
            QCOMPARE(child<QLineEdit>(d, "Edit_User")->text(), QStringLiteral("张三"));
            QTest::keyClicks(child<QLineEdit>(d, "Edit_OldPass"), cur);
            QTest::keyClicks(child<QLineEdit>(d, "Edit_NewPass"), fresh);
            QTest::keyClicks(child<QLineEdit>(d, "Edit_Verify"), repeat);
            QTest::mouseClick(child<QPushButton>(d, "Btn_OK"), Qt::LeftButton);
        };
        ws->prompter.expect(QStringLiteral("当前密码错误!"), QMessageBox::Ok, QStringLiteral("密码错误"));
        ws->prompter.expect(QStringLiteral("在\"验证\"框中重新输入新密码并单击\"确定\"按钮,以验证新密码."),
                            QMessageBox::Ok, QStringLiteral("验证密码"));
        ws->prompter.expect(QStringLiteral("修改密码成功!"), QMessageBox::Ok, QStringLiteral("成功"));
        bool closed = false;
        ws->onModal([&](QDialog& d) {
            fill(d, QStringLiteral("OLD"), QStringLiteral("new"), QStringLiteral("new"));
            QVERIFY(d.isVisible());
            for (auto* e : d.findChildren<QLineEdit*>())
                if (!e->isReadOnly()) e->clear();
            fill(d, QStringLiteral("old"), QStringLiteral("new"), QStringLiteral("neW"));
            for (auto* e : d.findChildren<QLineEdit*>())
                if (!e->isReadOnly()) e->clear();
            fill(d, QStringLiteral("old"), QStringLiteral("new"), QStringLiteral("new"));
            closed = d.result() == QDialog::Accepted;
        });
        runPasswordDialog(*ws->ctx);
        QVERIFY_PROMPTS(ws->prompter);
        QVERIFY(closed);
        QVERIFY(password::matches(storedPassword(QStringLiteral("张三")), QStringLiteral("new")));

        // An empty new password stores the empty value: the login then takes an empty password.
        ws->prompter.expect(QStringLiteral("修改密码成功!"));
        ws->onModal([&](QDialog& d) { fill(d, QStringLiteral("new"), QString(), QString()); });
        runPasswordDialog(*ws->ctx);
        QCOMPARE(storedPassword(QStringLiteral("张三")), QString());
        ws->onModal([&](QDialog& d) { typeAndPress(d, QStringLiteral("张三"), QString()); });
        QVERIFY(runLoginDialog(*ws->ctx));
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
