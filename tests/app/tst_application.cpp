// The application object's last-resort boundary: an exception that escapes a slot or an event handler
// is shown in the standard error box and the program goes on.
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <stdexcept>

#include "Application.h"
#include "DbError.h"
#include "ScriptedPrompter.h"

using namespace qv;
using qv::test::ScriptedPrompter;

namespace {
const QString kError = QStringLiteral("错误");
}

class TestApplication : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> script;

    static Application& app() { return *static_cast<Application*>(QCoreApplication::instance()); }

private slots:
    void init() {
        script = std::make_unique<ScriptedPrompter>();
        app().setPrompter(script.get());
    }
    void cleanup() {
        app().setPrompter(nullptr);
        script.reset();
    }

    // Thrown from a timer's slot, from a button's slot reached by a mouse click, and of no known type:
    // each is shown once and later events are still delivered.
    void escapedExceptionIsShown_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("text");
        QTest::newRow("database error from a timer") << "dberror"
                                                     << "数据库已断开";
        QTest::newRow("std::exception from a click") << "click"
                                                     << "bad thing";
        QTest::newRow("unknown type from a timer") << "unknown"
                                                   << "未知错误";
    }
    void escapedExceptionIsShown() {
        QFETCH(QString, how);
        QFETCH(QString, text);
        ScriptedPrompter& prompter = *script;
        prompter.expect(text, QMessageBox::Ok, kError);
        bool later = false;
        if (how == QLatin1String("click")) {
            QPushButton button(QStringLiteral("按钮"));
            connect(&button, &QPushButton::clicked, this, [] { throw std::runtime_error("bad thing"); });
            button.show();
            QVERIFY(QTest::qWaitForWindowExposed(&button));
            QTest::mouseClick(&button, Qt::LeftButton);
        } else {
            QTimer::singleShot(0, this, [how] {
                if (how == QLatin1String("dberror")) throw DbError(QStringLiteral("数据库已断开"));
                throw 42;
            });
            QCoreApplication::processEvents();
        }
        QTimer::singleShot(0, this, [&later] { later = true; });
        QCoreApplication::processEvents();
        QVERIFY(later);
        QVERIFY_PROMPTS(prompter);
        QCOMPARE(prompter.shown().first().icon, QMessageBox::Critical);
    }

    // A failure while the box of an earlier one is still open is logged instead of opening another box.
    void failureWhileTheBoxIsOpenIsLogged() {
        ScriptedPrompter& prompter = *script;
        prompter.expect(QStringLiteral("first"), QMessageBox::Ok, kError)
            .onShow([this](const ScriptedPrompter::Shown&) {
                QTimer::singleShot(0, this, [] { throw std::runtime_error("second"); });
                QCoreApplication::processEvents();
            });
        QTest::ignoreMessage(QtWarningMsg, "second");
        QTimer::singleShot(0, this, [] { throw std::runtime_error("first"); });
        QCoreApplication::processEvents();
        QVERIFY_PROMPTS(prompter);
        QCOMPARE(prompter.shown().size(), 1);
    }
};

int main(int argc, char** argv) {
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
