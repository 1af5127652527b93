#include "ListEditor.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "CommandGuard.h"
#include "Context.h"
#include "DBGrid.h"
#include "Dataset.h"
#include "DbError.h"
#include "Frm_Data.h"
#include "GridServices.h"
#include "Prompter.h"

namespace qv {

namespace {

const QString kWarning = QStringLiteral("警告");
const QString kQuestion = QStringLiteral("询问");
const QString kAskDelete = QStringLiteral("您确定要删除这条记录吗？");
const QString kDeleteCaption = QStringLiteral("删除记录");
// The grid's own question before it deletes the current row (Ctrl+Delete in the grid).
const QString kGridAskDelete = QStringLiteral("删除记录吗？");
const QString kName = QStringLiteral("name");

// Where the department list opens: its own place near the top left of the screen.
constexpr QPoint kDepartPosition(200, 120);

}  // namespace

ListEditor::ListEditor(Context& ctx, const ListKind& kind, QWidget* parent)
    : QDialog(parent), ctx_(ctx), kind_(kind), ds_(*ctx.data.Qry_Other) {
    setObjectName(kind_.window);
    setWindowTitle(kind_.caption);
    buildWidgets();

    // The list with its key, so that the grid can store and delete the rows it edits in place.
    ds_.setReadOnly(false);
    ds_.setUpdateTable(Frm_Data::checkedTable(kind_.table), QStringLiteral("id"));
    ctx_.data.OpenQuery(ds_, lists::listStatement(kind_.table));
    ApplyGridLayout(ctx_, *Grid_Other, ds_, lists::kGridKey);
    setEntering(false);
}

ListEditor::~ListEditor() = default;

void ListEditor::buildWidgets() {
    resize(380, 440);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(QSize(24, 24));
    auto button = [this](const char* name, const QString& text, QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setText(text);  // "&A": Alt+A presses the button
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        ToolBar1->addWidget(b);
        return b;
    };
    TB_Add = button("TB_Add", QStringLiteral("添加&A"), QStyle::SP_FileIcon);
    TB_Edit = button("TB_Edit", QStringLiteral("编辑&E"), QStyle::SP_FileDialogDetailedView);
    TB_Del = button("TB_Del", QStringLiteral("删除&D"), QStyle::SP_TrashIcon);
    ToolBar1->addSeparator();
    TB_Save = button("TB_Save", QStringLiteral("保存&S"), QStyle::SP_DialogSaveButton);
    TB_Cancel = button("TB_Cancel", QStringLiteral("取消&C"), QStyle::SP_DialogCancelButton);
    ToolBar1->addSeparator();
    TB_Quit = button("TB_Quit", QStringLiteral("退出&Q"), QStyle::SP_DialogCloseButton);

    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Label1 = new QLabel(kind_.label, GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit_Name = new QLineEdit(GroupBox1);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    Label1->setBuddy(Edit_Name);
    Grid_Other = new DBGrid(GroupBox1);
    Grid_Other->setObjectName(QStringLiteral("Grid_Other"));
    Grid_Other->setReadOnly(false);
    Grid_Other->view()->installEventFilter(this);

    auto* box = new QVBoxLayout(GroupBox1);
    box->addWidget(Label1);
    box->addWidget(Edit_Name);
    box->addWidget(Grid_Other, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(ToolBar1);
    layout->addWidget(GroupBox1, 1);

    connect(TB_Add, &QToolButton::clicked, this, [this] { guarded([this] { startAdd(); }); });
    connect(TB_Edit, &QToolButton::clicked, this, [this] { guarded([this] { startEdit(); }); });
    connect(TB_Del, &QToolButton::clicked, this, [this] { guarded([this] { deleteCurrent(); }); });
    connect(TB_Save, &QToolButton::clicked, this, [this] { guarded([this] { save(); }); });
    connect(TB_Cancel, &QToolButton::clicked, this, [this] { guarded([this] { cancelEntry(); }); });
    connect(TB_Quit, &QToolButton::clicked, this, &QDialog::reject);
    connect(Grid_Other->view(), &QAbstractItemView::clicked, this, &ListEditor::cellClicked);
}

bool ListEditor::guarded(const std::function<void()>& fn) { return runGuarded(ctx_.prompter, this, fn); }

void ListEditor::setEntering(bool entering) {
    entering_ = entering;
    TB_Add->setEnabled(!entering);
    TB_Edit->setEnabled(!entering);
    TB_Del->setEnabled(!entering);
    TB_Save->setEnabled(entering);
    TB_Cancel->setEnabled(entering);
    TB_Quit->setEnabled(true);
}

void ListEditor::postGridEdit() {
    if (ds_.state() != Dataset::State::Edit && ds_.state() != Dataset::State::Insert) return;
    try {
        ds_.post();
    } catch (const DbError& e) {
        if (!e.isUniqueViolation()) throw;
        ds_.cancel();
        showDuplicate();
    }
}

void ListEditor::showDuplicate() {
    ctx_.prompter.message(kind_.duplicateMessage, kQuestion, QMessageBox::Question, QMessageBox::Ok, this);
}

void ListEditor::startAdd() {
    postGridEdit();
    mode_ = Mode::Adding;
    Edit_Name->clear();
    setEntering(true);
}

void ListEditor::startEdit() {
    postGridEdit();
    mode_ = Mode::Editing;
    Edit_Name->setText(ds_.currentRow() >= 0 ? ds_.text(kName) : QString());
    setEntering(true);
}

void ListEditor::deleteCurrent() {
    postGridEdit();
    TB_Save->setEnabled(false);
    TB_Cancel->setEnabled(false);
    const bool yes = ctx_.prompter.message(kAskDelete, kDeleteCaption, QMessageBox::Information,
                                           QMessageBox::Yes | QMessageBox::No, this) == QMessageBox::Yes;
    Edit_Name->clear();
    // Only the list's own row goes: records that carry the name keep their text.
    if (yes && ds_.currentRow() >= 0) ds_.remove();
}

bool ListEditor::postName(const QString& name) {
    try {
        ds_.setValue(kName, name);
        ds_.post();
        return true;
    } catch (const DbError& e) {
        // The database refused the name: nothing of it stays in the list. A name the list holds already
        // (added on another workstation since it was checked) gets the list's own message.
        ds_.cancel();
        if (!e.isUniqueViolation()) throw;
        showDuplicate();
        return false;
    } catch (...) {
        ds_.cancel();
        throw;
    }
}

void ListEditor::save() {
    const QString name = Edit_Name->text();
    const QString trimmed = name.trimmed();
    // A name of blanks only would show as an empty entry in every drop-down: refused like an empty box.
    if (trimmed.isEmpty()) {
        ctx_.prompter.message(kind_.emptyMessage, kWarning, QMessageBox::Critical, QMessageBox::Ok, this);
        Edit_Name->setFocus();
        return;
    }
    postGridEdit();
    if (mode_ == Mode::Adding) {
        if (lists::nameTaken(ctx_.data.db(), kind_.table, trimmed)) {
            showDuplicate();
            Edit_Name->setFocus();
            return;
        }
        ctx_.data.OpenQuery(ds_, lists::reloadStatement(kind_.table));
        ds_.append();
    } else {
        // Renaming checks nothing itself; on an empty list there is no row to rename, so the name is added.
        if (ds_.currentRow() < 0)
            ds_.append();
        else
            ds_.edit();
    }
    // Stored as typed, blanks included.
    if (!postName(name)) {
        Edit_Name->setFocus();
        return;
    }
    ApplyGridLayout(ctx_, *Grid_Other, ds_, lists::kGridKeyAfterSave);
    setEntering(false);
}

void ListEditor::cancelEntry() { setEntering(false); }

void ListEditor::cellClicked(const QModelIndex& index) {
    if (!kind_.copyOnClick || !index.isValid()) return;
    Edit_Name->setText(ds_.value(index.row(), kName).toString());
}

void ListEditor::deleteFromGrid() {
    if (ds_.currentRow() < 0) return;
    if (ctx_.prompter.message(kGridAskDelete, kQuestion, QMessageBox::Question,
                              QMessageBox::Ok | QMessageBox::Cancel, this) != QMessageBox::Ok)
        return;
    ds_.remove();
}

bool ListEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Grid_Other->view() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
            guarded([this] { deleteFromGrid(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ListEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    closing_ = false;
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    if (kind_.centred) {
        QRect frame = frameGeometry();
        frame.moveCenter(area.center());
        move(frame.topLeft());
    } else {
        move(area.topLeft() + kDepartPosition);
    }
}

void ListEditor::done(int result) {
    if (!closing_) {
        closing_ = true;
        // A name changed in a grid cell is stored before the window goes; a refused one is shown and dropped.
        if (!guarded([this] { postGridEdit(); })) ds_.cancel();
        if (kind_.saveLayoutOnClose)
            guarded([this] { SaveGridLayout(ctx_, *Grid_Other, lists::kGridKeyAfterSave, false); });
    }
    QDialog::done(result);
}

}  // namespace qv
