#include "ScriptedPrompter.h"

#include <QtTest>

namespace qv::test {

ScriptedPrompter& ScriptedPrompter::expect(const QString& text, QMessageBox::StandardButton answer,
                                           const QString& caption) {
    expected_.push_back({text, caption, answer, {}});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectCaption(const QString& caption, QMessageBox::StandardButton answer,
                                                  int count) {
    if (count > 0) expected_.push_back({QString(), caption, answer, {}, true, count});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::nextFile(const QString& path, const QString& selectedFilter) {
    files_.push_back(path);
    filters_.push_back(selectedFilter);
    return *this;
}

ScriptedPrompter& ScriptedPrompter::onShow(std::function<void(const Shown&)> fn) {
    if (!expected_.empty()) expected_.back().onShow = std::move(fn);
    return *this;
}

QString ScriptedPrompter::Expected::describe() const {
    if (anyText) return QStringLiteral("%1 message(s) with caption \"%2\"").arg(count).arg(caption);
    return QStringLiteral("\"%1\"").arg(text);
}

QStringList ScriptedPrompter::pending() const {
    QStringList problems = failures_;
    for (const Expected& e : expected_)
        problems << QStringLiteral("expected message not shown: ") + e.describe();
    for (const QString& f : files_) problems << QStringLiteral("file answer not used: \"%1\"").arg(f);
    return problems;
}

QStringList ScriptedPrompter::takeProblems() {
    const QStringList problems = pending();
    failures_.clear();
    expected_.clear();
    files_.clear();
    filters_.clear();
    return problems;
}

ScriptedPrompter::~ScriptedPrompter() {
    const QStringList problems = takeProblems();
    if (problems.isEmpty()) return;
    const QString text = QStringLiteral("prompter: ") + problems.join(QStringLiteral("\n  "));
    if (QTest::currentTestFunction() && !QTest::currentTestFailed())
        QTest::qFail(qPrintable(text), __FILE__, __LINE__);
    else
        qWarning("%s", qPrintable(text));
}

bool ScriptedPrompter::verify(QString* why) {
    const QStringList problems = takeProblems();
    if (why) *why = problems.join(QLatin1Char('\n'));
    return problems.isEmpty();
}

QStringList ScriptedPrompter::texts() const {
    QStringList out;
    for (const Shown& s : shown_) out << s.text;
    return out;
}

QMessageBox::StandardButton ScriptedPrompter::safeButton(QMessageBox::StandardButtons buttons) {
    for (QMessageBox::StandardButton b : {QMessageBox::No, QMessageBox::Cancel, QMessageBox::Abort,
                                          QMessageBox::Close, QMessageBox::NoToAll, QMessageBox::Ignore})
        if (buttons & b) return b;
    // Otherwise the only button there is (Ok for a plain notice).
    for (int b = QMessageBox::FirstButton; b <= QMessageBox::LastButton; b <<= 1)
        if (buttons & b) return QMessageBox::StandardButton(b);
    return QMessageBox::Ok;
}

QMessageBox::StandardButton ScriptedPrompter::message(const QString& text, const QString& caption,
                                                      QMessageBox::Icon icon,
                                                      QMessageBox::StandardButtons buttons, QWidget*) {
    const Shown shown{text, caption, icon, buttons};
    shown_ << shown;
    const bool matches = !expected_.empty() &&
                         (expected_.front().anyText || expected_.front().text == text) &&
                         (expected_.front().caption.isNull() || expected_.front().caption == caption);
    if (!matches) {
        failures_ << QStringLiteral("unexpected message: \"%1\" (caption \"%2\")%3")
                         .arg(text, caption,
                              expected_.empty()
                                  ? QString()
                                  : QStringLiteral(", expected ") + expected_.front().describe());
        return safeButton(buttons);
    }
    Expected& front = expected_.front();
    const QMessageBox::StandardButton answer = front.answer;
    std::function<void(const Shown&)> onShow = front.onShow;
    if (--front.count <= 0) expected_.pop_front();
    if (onShow) onShow(shown);
    return answer;
}

QString ScriptedPrompter::nextFile(const char* kind, const QString& caption, QString* selectedFilter) {
    if (selectedFilter) selectedFilter->clear();
    if (files_.empty()) {
        failures_ << QStringLiteral("unexpected %1 dialog \"%2\"").arg(QLatin1String(kind), caption);
        return {};
    }
    QString f = files_.front();
    files_.pop_front();
    if (selectedFilter) *selectedFilter = filters_.front();
    filters_.pop_front();
    return f;
}

QString ScriptedPrompter::saveFileName(const QString& caption, const QString&, const QString&, QWidget*) {
    return nextFile("save", caption);
}

QString ScriptedPrompter::saveFileName(const QString& caption, const QString&, const QString&, QWidget*,
                                       QString* selectedFilter) {
    return nextFile("save", caption, selectedFilter);
}

QString ScriptedPrompter::openFileName(const QString& caption, const QString&, const QString&, QWidget*) {
    return nextFile("open", caption);
}

QString ScriptedPrompter::directory(const QString& caption, const QString&, QWidget*) {
    return nextFile("folder", caption);
}

}  // namespace qv::test
