#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>

#include "CheckTree.h"
#include "DigitFilter.h"
#include "EnterMovesFocus.h"
#include "NullableDateEdit.h"

using namespace qv;

namespace {

// Types text the way a keyboard delivers it: one press and release per character, carrying the
// character as the event's text (also for characters no Qt::Key names).
void typeText(QWidget* w, const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        Qt::Key key = Qt::Key_unknown;
        if (u >= u'0' && u <= u'9')
            key = Qt::Key(Qt::Key_0 + (u - u'0'));
        else if (u >= u'a' && u <= u'z')
            key = Qt::Key(Qt::Key_A + (u - u'a'));
        else if (u >= u'A' && u <= u'Z')
            key = Qt::Key(Qt::Key_A + (u - u'A'));
        else if (u == u'.')
            key = Qt::Key_Period;
        else if (u == u' ')
            key = Qt::Key_Space;
        else if (u == u'-')
            key = Qt::Key_Minus;
        QTest::sendKeyEvent(QTest::Press, w, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, key, QString(c), Qt::NoModifier);
    }
}

// The tags of every node of the tree as "code:tag" words, top to bottom.
QString tagsOf(const CheckTree& tree) {
    QStringList out;
    for (QTreeWidgetItem* n : tree.nodes())
        out << CheckTree::code(n) + QLatin1Char(':') + QString::number(CheckTree::tag(n));
    return out.join(QLatin1Char(' '));
}

// A small rights tree: two groups and a right of its own, built from "code:tag" words in order
// (two-character codes at the top, four-character codes under the last group).
void buildTree(CheckTree& tree, const QString& tags) {
    tree.clear();
    QTreeWidgetItem* group = nullptr;
    for (const QString& word : tags.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString code = word.section(QLatin1Char(':'), 0, 0);
        const int tag = word.section(QLatin1Char(':'), 1, 1).toInt();
        if (code.size() == 2)
            group = tree.addNode(nullptr, QStringLiteral("node ") + code, code, tag);
        else
            tree.addNode(group, QStringLiteral("node ") + code, code, tag);
    }
    tree.expandAll();
}

}  // namespace

class TstWidgets : public QObject {
    Q_OBJECT

private slots:
    // date edit that may be empty
    void dateRoundTrip_data();
    void dateRoundTrip();
    void dateTickBox();
    void dateOperatorEdit();

    // digit filter
    void digitTyping_data();
    void digitTyping();
    void digitEditingKeys();
    void digitPaste_data();
    void digitPaste();
    void digitLoadedTextStays();

    // Enter moves focus
    void enterMovesFocus_data();
    void enterMovesFocus();

    // check tree
    void checkCascade_data();
    void checkCascade();
    void checkBySpaceKey();
    void tagMapping_data();
    void tagMapping();
    void plainLoaderKeepsStoredStates();
    void tagsByCode();
};

// --- date edit that may be empty ---------------------------------------------------------------

void TstWidgets::dateRoundTrip_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDateTime>("set");
    QTest::addColumn<QDateTime>("expected");  // null: unticked
    const QDateTime withSeconds(QDate(2024, 2, 29), QTime(13, 45, 10));
    QTest::newRow("date keeps the day, at midnight")
        << int(NullableDateEdit::Kind::Date) << withSeconds << QDateTime(QDate(2024, 2, 29), QTime(0, 0));
    QTest::newRow("date and time keeps the seconds it was given")
        << int(NullableDateEdit::Kind::DateTime) << withSeconds << withSeconds;
    QTest::newRow("null unticks the date") << int(NullableDateEdit::Kind::Date) << QDateTime() << QDateTime();
    QTest::newRow("null unticks the date and time")
        << int(NullableDateEdit::Kind::DateTime) << QDateTime() << QDateTime();
}

void TstWidgets::dateRoundTrip() {
    QFETCH(int, kind);
    QFETCH(QDateTime, set);
    QFETCH(QDateTime, expected);
    NullableDateEdit edit{NullableDateEdit::Kind(kind)};
    QCOMPARE(edit.editor()->displayFormat(), kind == int(NullableDateEdit::Kind::Date)
                                                 ? QStringLiteral("yyyy-MM-dd")
                                                 : QStringLiteral("yyyy-MM-dd HH:mm"));
    QVERIFY(edit.editor()->calendarPopup());

    // Start from a ticked, different value so that both directions are crossed.
    const QDateTime before(QDate(2001, 1, 1), QTime(0, 0));
    edit.setValue(before);
    QVERIFY(edit.isChecked());
    QSignalSpy changed(&edit, &NullableDateEdit::valueChanged);

    edit.setValue(set);
    QCOMPARE(edit.value(), expected);
    QCOMPARE(edit.isChecked(), expected.isValid());
    QCOMPARE(edit.editor()->isEnabled(), expected.isValid());
    QCOMPARE(edit.date(), expected.date());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toDateTime(), expected);
    // Unticking leaves the date shown; ticking again gives it back.
    if (!expected.isValid()) {
        QCOMPARE(edit.shownDateTime(), before);
        edit.setChecked(true);
        QCOMPARE(edit.value(), before);
    }
    // Setting the same value again is no change.
    changed.clear();
    edit.setValue(edit.value());
    QCOMPARE(changed.count(), 0);
}

void TstWidgets::dateTickBox() {
    // An editor presets "today, unticked": the date shows, the value stays empty until ticked.
    NullableDateEdit edit;
    const QDate today(2024, 5, 6);
    edit.setShownDateTime(QDateTime(today, QTime(0, 0)));
    edit.setChecked(false);
    QVERIFY(edit.value().isNull());
    QVERIFY(edit.date().isNull());
    QCOMPARE(edit.editor()->date(), today);

    QSignalSpy changed(&edit, &NullableDateEdit::valueChanged);
    edit.checkBox()->click();  // the operator ticks it
    QCOMPARE(edit.date(), today);
    QCOMPARE(changed.count(), 1);
    edit.checkBox()->click();
    QVERIFY(edit.value().isNull());
    QCOMPARE(changed.count(), 2);
    QVERIFY(changed.at(1).at(0).toDateTime().isNull());

    // The shown date changes silently while unticked.
    edit.setShownDateTime(QDateTime(today.addDays(3), QTime(0, 0)));
    QCOMPARE(changed.count(), 2);
    edit.setDate(QDate());
    QVERIFY(!edit.isChecked());
    edit.setDate(today);
    QVERIFY(edit.isChecked());
    QCOMPARE(edit.date(), today);
}

void TstWidgets::dateOperatorEdit() {
    NullableDateEdit edit(NullableDateEdit::Kind::DateTime);
    edit.setValue(QDateTime(QDate(2024, 3, 1), QTime(9, 30, 15)));
    QSignalSpy changed(&edit, &NullableDateEdit::valueChanged);
    // The operator changes the shown time: the new value counts.
    edit.editor()->setDateTime(QDateTime(QDate(2024, 3, 2), QTime(10, 0)));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(edit.value().date(), QDate(2024, 3, 2));
    QCOMPARE(edit.value().time().hour(), 10);
    QCOMPARE(edit.value().time().minute(), 0);
}

// --- digit filter ------------------------------------------------------------------------------

void TstWidgets::digitTyping_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("digits and point") << QStringLiteral("0123456789.") << QStringLiteral("0123456789.");
    QTest::newRow("letters dropped") << QStringLiteral("12ab3") << QStringLiteral("123");
    QTest::newRow("telephone with separators")
        << QStringLiteral("010-8765 4321") << QStringLiteral("01087654321");
    QTest::newRow("income with point") << QStringLiteral("1500.50元") << QStringLiteral("1500.50");
    QTest::newRow("nothing allowed") << QStringLiteral("abc-+ ,") << QString();
    QTest::newRow("full-width digits are not digits") << QStringLiteral("１２３") << QString();
    QTest::newRow("Chinese text") << QStringLiteral("电话88") << QStringLiteral("88");
}

void TstWidgets::digitTyping() {
    QFETCH(QString, typed);
    QFETCH(QString, result);
    // Both forms: the ready-made box, and the filter put on a plain line edit.
    DigitLineEdit box;
    QLineEdit plain;
    DigitFilter::install(&plain);
    for (QLineEdit* e : {static_cast<QLineEdit*>(&box), &plain}) {
        typeText(e, typed);
        QCOMPARE(e->text(), result);
    }
}

void TstWidgets::digitEditingKeys() {
    DigitLineEdit box;
    typeText(&box, QStringLiteral("12345"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), QStringLiteral("1234"));
    QTest::keyClick(&box, Qt::Key_Home);
    QTest::keyClick(&box, Qt::Key_Delete);
    QCOMPARE(box.text(), QStringLiteral("234"));
    QTest::keyClick(&box, Qt::Key_Right);
    typeText(&box, QStringLiteral("x9"));
    QCOMPARE(box.text(), QStringLiteral("2934"));
    QTest::keyClick(&box, Qt::Key_End);
    QTest::keyClick(&box, Qt::Key_Left);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(box.text(), QStringLiteral("294"));
    QTest::keySequence(&box, QKeySequence::SelectAll);
    QCOMPARE(box.selectedText(), QStringLiteral("294"));
    QTest::keySequence(&box, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("294"));
    typeText(&box, QStringLiteral("7"));
    QCOMPARE(box.text(), QStringLiteral("7"));
    // Enter still reaches the box (the dialog decides what it means).
    QSignalSpy entered(&box, &QLineEdit::returnPressed);
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(entered.count(), 1);
}

void TstWidgets::digitPaste_data() {
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("digits") << QStringLiteral("13800138000") << true;
    QTest::newRow("amount") << QStringLiteral("12.5") << true;
    QTest::newRow("letters") << QStringLiteral("abc") << false;
    QTest::newRow("digits with a dash") << QStringLiteral("010-1234") << false;
    QTest::newRow("digits with blanks") << QStringLiteral(" 123") << false;
    QTest::newRow("empty") << QString() << false;
}

void TstWidgets::digitPaste() {
    QFETCH(QString, clipboard);
    QFETCH(bool, accepted);
    QGuiApplication::clipboard()->setText(clipboard);
    QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    DigitLineEdit box;
    box.setText(QStringLiteral("9"));
    box.end(false);
    QTest::keySequence(&box, QKeySequence::Paste);
    QCOMPARE(box.text(), accepted ? QStringLiteral("9") + clipboard : QStringLiteral("9"));

    // The context menu offers paste on the same terms.
    std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
    DigitFilter::restrictMenu(*menu);
    QAction* paste = nullptr;
    for (QAction* a : menu->actions())
        if (DigitFilter::isPasteAction(*a)) paste = a;
    QVERIFY(paste);
    QCOMPARE(paste->isEnabled(), accepted);
    QVERIFY(!box.acceptDrops());
}

void TstWidgets::digitLoadedTextStays() {
    // A stored value with other characters loads unchanged and can still be extended with digits.
    DigitLineEdit box;
    box.setText(QStringLiteral("010-1234"));
    box.end(false);
    typeText(&box, QStringLiteral("5a"));
    QCOMPARE(box.text(), QStringLiteral("010-12345"));
}

// --- Enter moves focus -------------------------------------------------------------------------

void TstWidgets::enterMovesFocus_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");  // the control that has the focus afterwards
    QTest::newRow("line edit to digit box") << "Edit_Name" << int(Qt::Key_Return) << "Edit_Tel";
    QTest::newRow("keypad Enter too") << "Edit_Name" << int(Qt::Key_Enter) << "Edit_Tel";
    QTest::newRow("disabled control skipped") << "Edit_Tel" << int(Qt::Key_Return) << "Combo_Zw";
    QTest::newRow("editable drop-down") << "Combo_Zw" << int(Qt::Key_Return) << "CB_Main";
    QTest::newRow("check box") << "CB_Main" << int(Qt::Key_Return) << "Birthday";
    QTest::newRow("date edit") << "Birthday" << int(Qt::Key_Return) << "Memo1";
    QTest::newRow("memo keeps Enter") << "Memo1" << int(Qt::Key_Return) << "Memo1";
    QTest::newRow("excluded control keeps Enter") << "Edit_Own" << int(Qt::Key_Return) << "Edit_Own";
    QTest::newRow("button keeps Enter") << "Btn_OK" << int(Qt::Key_Return) << "Btn_OK";
    QTest::newRow("last control wraps to the first") << "Edit_Last" << int(Qt::Key_Return) << "Edit_Name";
}

void TstWidgets::enterMovesFocus() {
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);

    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto add = [&](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        layout->addWidget(w);
        return w;
    };
    add(new QLineEdit, "Edit_Name");
    add(new QLineEdit, "Edit_Disabled")->setEnabled(false);
    add(new DigitLineEdit, "Edit_Tel");  // tab order: the order the controls joined the dialog
    auto* combo = static_cast<QComboBox*>(add(new QComboBox, "Combo_Zw"));
    combo->setEditable(true);
    add(new QCheckBox(QStringLiteral("主联系人")), "CB_Main");
    auto* date = static_cast<NullableDateEdit*>(add(new NullableDateEdit, "Birthday"));
    date->setValue(QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    auto* memo = static_cast<QPlainTextEdit*>(add(new QPlainTextEdit, "Memo1"));
    auto* own = add(new QLineEdit, "Edit_Own");
    auto* ok = static_cast<QPushButton*>(add(new QPushButton(QStringLiteral("保存(&S)")), "Btn_OK"));
    add(new QLineEdit, "Edit_Last");
    QSignalSpy pressed(ok, &QPushButton::clicked);
    EnterMovesFocus::install(&dialog)->exclude(own);

    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    auto* start = dialog.findChild<QWidget*>(from);
    auto* target = dialog.findChild<QWidget*>(to);
    QVERIFY(start && target);
    start->setFocus(Qt::OtherFocusReason);
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused == start || start->isAncestorOf(focused));

    QTest::keyClick(focused, Qt::Key(key));
    focused = QApplication::focusWidget();
    QVERIFY2(focused == target || target->isAncestorOf(focused),
             qPrintable(QStringLiteral("focus on ") +
                        (focused ? focused->objectName() : QStringLiteral("nothing"))));
    if (to == QLatin1String("Memo1")) {
        if (from == to)
            QCOMPARE(memo->toPlainText(), QStringLiteral("\n"));
        else
            QVERIFY(memo->toPlainText().isEmpty());
    }
    // A control that keeps Enter keeps its usual meaning: in a dialog, the default button.
    const bool keeps = from == QLatin1String("Btn_OK") || from == QLatin1String("Edit_Own");
    QCOMPARE(pressed.count(), keeps ? 1 : 0);
    // Enter with a modifier is not the plain Enter of the rule.
    if (from == QLatin1String("Edit_Name") && key == Qt::Key_Return) {
        start->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(start, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), start);
    }
}

// --- check tree --------------------------------------------------------------------------------

namespace {
const QString kAllOff = QStringLiteral("01:1 0101:1 0102:1 0103:1 02:1 0201:1 0202:1 03:1");
const QString kFirstOn = QStringLiteral("01:2 0101:2 0102:2 0103:2 02:1 0201:1 0202:1 03:1");
}  // namespace

void TstWidgets::checkCascade_data() {
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("changes");  // "code=state" words, state 0 unchecked 1 checked
    QTest::addColumn<QString>("expected");
    QTest::newRow("group on sets all its rights") << kAllOff << "01=1" << kFirstOn;
    QTest::newRow("one right off makes the group partly")
        << kFirstOn << "0102=0"
        << "01:3 0101:2 0102:1 0103:2 02:1 0201:1 0202:1 03:1";
    QTest::newRow("all rights off turn the group off") << kFirstOn << "0101=0 0102=0 0103=0" << kAllOff;
    QTest::newRow("last right on turns the group on") << "01:3 0101:2 0102:2 0103:1 02:1 0201:1 0202:1 03:1"
                                                      << "0103=1" << kFirstOn;
    QTest::newRow("partly group set on") << "01:3 0101:2 0102:1 0103:1 02:1 0201:1 0202:1 03:1"
                                         << "01=1" << kFirstOn;
    QTest::newRow("group off clears its rights only") << "01:2 0101:2 0102:2 0103:2 02:2 0201:2 0202:2 03:2"
                                                      << "01=0"
                                                      << "01:1 0101:1 0102:1 0103:1 02:2 0201:2 0202:2 03:2";
    QTest::newRow("right without group stands alone") << kAllOff << "03=1"
                                                      << "01:1 0101:1 0102:1 0103:1 02:1 0201:1 0202:1 03:2";
}

void TstWidgets::checkCascade() {
    QFETCH(QString, initial);
    QFETCH(QString, changes);
    QFETCH(QString, expected);
    CheckTree tree;
    buildTree(tree, initial);
    QCOMPARE(tagsOf(tree), initial);
    QSignalSpy changed(&tree, &QTreeWidget::itemChanged);
    for (const QString& change : changes.split(QLatin1Char(' '))) {
        const QString code = change.section(QLatin1Char('='), 0, 0);
        const bool on = change.section(QLatin1Char('='), 1, 1) == QLatin1String("1");
        QTreeWidgetItem* node = tree.findCode(code);
        QVERIFY(node);
        // What the view's click does: the item's check state changes.
        node->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    }
    QCOMPARE(tagsOf(tree), expected);
    QVERIFY(changed.count() > 0);
}

void TstWidgets::checkBySpaceKey() {
    CheckTree tree;
    buildTree(tree, kAllOff);
    tree.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tree));
    tree.setCurrentItem(tree.findCode(QStringLiteral("01")));
    QTest::keyClick(&tree, Qt::Key_Space);
    QCOMPARE(tagsOf(tree), kFirstOn);
    tree.setCurrentItem(tree.findCode(QStringLiteral("0103")));
    QTest::keyClick(&tree, Qt::Key_Space);
    QCOMPARE(CheckTree::state(tree.findCode(QStringLiteral("01"))), CheckTree::Partly);
}

void TstWidgets::tagMapping_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("checkState");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("authority");  // 0 no, 1 yes, -1 unchanged
    QTest::addColumn<int>("tagBack");
    QTest::newRow("1 unchecked") << 1 << int(Qt::Unchecked) << 0 << 0 << 1;
    QTest::newRow("2 checked") << 2 << int(Qt::Checked) << 1 << 1 << 2;
    QTest::newRow("3 partly") << 3 << int(Qt::PartiallyChecked) << 2 << -1 << 3;
    QTest::newRow("0 (column default) reads unchecked") << 0 << int(Qt::Unchecked) << 0 << 0 << 1;
    QTest::newRow("unknown reads unchecked") << 7 << int(Qt::Unchecked) << 0 << 0 << 1;
}

void TstWidgets::tagMapping() {
    QFETCH(int, tag);
    QFETCH(int, checkState);
    QFETCH(int, state);
    QFETCH(int, authority);
    QFETCH(int, tagBack);
    QCOMPARE(int(CheckTree::checkStateForTag(tag)), checkState);
    CheckTree tree;
    QTreeWidgetItem* node =
        tree.addNode(nullptr, QStringLiteral("允许查看所有客户资料"), QStringLiteral("16"), tag);
    QCOMPARE(int(node->checkState(0)), checkState);
    QCOMPARE(int(CheckTree::state(node)), state);
    QCOMPARE(CheckTree::tag(node), tagBack);
    QCOMPARE(CheckTree::tagForCheckState(Qt::CheckState(checkState)), tagBack);
    const std::optional<bool> a = CheckTree::authority(node);
    QCOMPARE(a.has_value() ? int(*a) : -1, authority);
}

void TstWidgets::plainLoaderKeepsStoredStates() {
    // A loader that knows only QTreeWidget (group item first, then its children, each given its
    // code and check state) shows consistent stored states unchanged, and the cascade works after.
    CheckTree tree;
    const QString stored = QStringLiteral("01:3 0101:2 0102:1 0103:2 02:2 0201:2 0202:2 03:1");
    QTreeWidgetItem* group = nullptr;
    for (const QString& word : stored.split(QLatin1Char(' '))) {
        const QString code = word.left(word.indexOf(QLatin1Char(':')));
        const int tag = word.mid(word.indexOf(QLatin1Char(':')) + 1).toInt();
        QTreeWidgetItem* item = code.size() == 2 ? (group = new QTreeWidgetItem(&tree, QStringList{code}))
                                                 : new QTreeWidgetItem(group, QStringList{code});
        item->setData(0, CheckTree::CodeRole, code);
        item->setCheckState(0, CheckTree::checkStateForTag(tag));
    }
    QCOMPARE(tagsOf(tree), stored);
    tree.setState(tree.findCode(QStringLiteral("02")), CheckTree::Unchecked);
    QCOMPARE(tagsOf(tree), QStringLiteral("01:3 0101:2 0102:1 0103:2 02:1 0201:1 0202:1 03:1"));
}

void TstWidgets::tagsByCode() {
    CheckTree tree;
    buildTree(tree, kAllOff);
    QStringList order;
    for (QTreeWidgetItem* n : tree.nodes()) order << CheckTree::code(n);
    QCOMPARE(order.join(QLatin1Char(',')), QStringLiteral("01,0101,0102,0103,02,0201,0202,03"));
    QVERIFY(tree.setTag(QStringLiteral("0201"), 2));
    QCOMPARE(tree.tagOf(QStringLiteral("0201")), 2);
    QCOMPARE(tree.tagOf(QStringLiteral("02")), 3);
    QVERIFY(!tree.setTag(QStringLiteral("99"), 2));
    QCOMPARE(tree.tagOf(QStringLiteral("99")), 0);
    QVERIFY(!tree.findCode(QStringLiteral("99")));
}

QTEST_MAIN(TstWidgets)
#include "tst_widgets.moc"
