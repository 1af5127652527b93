#include "Frm_Preview.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "DbError.h"
#include "Prompter.h"

namespace qv {

// The page on screen: painted at the zoom's resolution with the same painter code as the printer.
class PreviewPage : public QWidget {
public:
    PreviewPage(PreviewState& state, QWidget* parent) : QWidget(parent), state_(state) {}

    void relayout(const QSize& viewport) {
        k_ = state_.pixelsPerMm(QSizeF(viewport), logicalDpiX());
        double w = 210, h = 297;
        if (state_.pageCount()) {
            w = state_.report().pages[state_.page()].width;
            h = state_.report().pages[state_.page()].height;
        }
        setFixedSize(int(w * k_) + 16, int(h * k_) + 16);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        if (!state_.pageCount()) return;
        const PreparedPage& page = state_.report().pages[state_.page()];
        QImage img(int(page.width * k_), int(page.height * k_), QImage::Format_RGB32);
        img.setDotsPerMeterX(qRound(k_ * 1000));
        img.setDotsPerMeterY(qRound(k_ * 1000));
        img.fill(Qt::white);
        {
            QPainter ip(&img);
            paintPage(ip, page);
            if (state_.matchItem() >= 0) {
                const auto items = page.allItems();
                const QRectF r = items[state_.matchItem()].rect;
                ip.fillRect(QRectF(r.x() * k_, r.y() * k_, r.width() * k_, r.height() * k_),
                            QColor(255, 220, 0, 90));
            }
        }
        p.drawImage(8, 8, img);
    }

private:
    PreviewState& state_;
    double k_ = 1;
};

Frm_Preview::Frm_Preview(PreparedReport report, Prompter& prompter, QWidget* parent,
                         std::function<int(QDialog&)> runModal)
    : QDialog(parent), state_(std::move(report)), prompter_(prompter), runModal_(std::move(runModal)) {
    setObjectName(QStringLiteral("Frm_Preview"));
    setWindowTitle(QStringLiteral(u"打印预览"));
    resize(900, 700);
    auto* bar = new QHBoxLayout;
    auto button = [&](const char* name, const QString& text, void (Frm_Preview::*slot)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    auto nav = [&](const char* name, const QString& text, void (PreviewState::*move)()) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, move] {
            (state_.*move)();
            showPage();
        });
        bar->addWidget(b);
    };
    nav("Btn_First", QStringLiteral(u"首页"), &PreviewState::first);
    nav("Btn_Prior", QStringLiteral(u"上页"), &PreviewState::prior);
    nav("Btn_Next", QStringLiteral(u"下页"), &PreviewState::next);
    nav("Btn_Last", QStringLiteral(u"末页"), &PreviewState::last);
    Label_Page = new QLabel(this);
    Label_Page->setObjectName(QStringLiteral("Label_Page"));
    bar->addWidget(Label_Page);
    Combo_Zoom = new QComboBox(this);
    Combo_Zoom->setObjectName(QStringLiteral("Combo_Zoom"));
    Combo_Zoom->addItems({QStringLiteral(u"整页"), QStringLiteral(u"页宽"), QStringLiteral("100%")});
    Combo_Zoom->setCurrentIndex(1);
    connect(Combo_Zoom, &QComboBox::activated, this, &Frm_Preview::onZoomChosen);
    bar->addWidget(Combo_Zoom);
    Edit_Find = new QLineEdit(this);
    Edit_Find->setObjectName(QStringLiteral("Edit_Find"));
    Edit_Find->setPlaceholderText(QStringLiteral(u"查找"));
    Edit_Find->setMinimumWidth(120);
    connect(Edit_Find, &QLineEdit::returnPressed, this, &Frm_Preview::onFind);
    bar->addWidget(Edit_Find);
    button("Btn_Find", QStringLiteral(u"查找"), &Frm_Preview::onFind);
    button("Btn_Open", QStringLiteral(u"打开"), &Frm_Preview::onOpen);
    button("Btn_Save", QStringLiteral(u"保存"), &Frm_Preview::onSave);
    button("Btn_Print", QStringLiteral(u"打印"), &Frm_Preview::onPrint);
    button("Btn_Help", QStringLiteral(u"帮助"), &Frm_Preview::onHelp);
    button("Btn_Close", QStringLiteral(u"关闭"), &Frm_Preview::reject);
    bar->addStretch();

    area_ = new QScrollArea(this);
    area_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    area_->setBackgroundRole(QPalette::Dark);
    view_ = new PreviewPage(state_, area_);
    area_->setWidget(view_);
    area_->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(area_, 1);

    showPage();
}

void Frm_Preview::showPage() {
    Label_Page->setText(state_.pageLabel());
    view_->relayout(area_->viewport()->size());
}

void Frm_Preview::onZoomChosen(int index) {
    state_.setZoom(index == 0   ? PreviewState::Zoom::WholePage
                   : index == 1 ? PreviewState::Zoom::PageWidth
                                : PreviewState::Zoom::Percent,
                   100);
    showPage();
}

void Frm_Preview::onFind() {
    const QString text = Edit_Find->text();
    if (text.isEmpty()) return;
    if (!state_.find(text)) prompter_.info(QStringLiteral(u"没有找到“%1”。").arg(text), windowTitle(), this);
    showPage();
}

bool Frm_Preview::saveTo(const QString& path) {
    try {
        exportReport(state_.report(), exportFormatFor(path), path);
        return true;
    } catch (const DbError& e) {
        prompter_.error(e.text(), this);
        return false;
    }
}

bool Frm_Preview::openFrom(const QString& path) {
    try {
        state_.setReport(loadSavedReport(path));
    } catch (const DbError& e) {
        prompter_.error(e.text(), this);
        return false;
    }
    showPage();
    return true;
}

void Frm_Preview::onOpen() {
    const QString path =
        prompter_.openFileName(QStringLiteral(u"打开报表"), {}, QStringLiteral(u"报表文件 (*.frp)"), this);
    if (!path.isEmpty()) openFrom(path);
}

void Frm_Preview::onSave() {
    QString path = prompter_.saveFileName(QStringLiteral(u"保存报表"), {}, exportFilters(), this);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    saveTo(path);
}

void Frm_Preview::onPrint() {
    if (!state_.pageCount()) return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, state_.pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    const int result = runModal_ ? runModal_(dialog) : dialog.exec();
    if (result != QDialog::Accepted) return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    try {
        printReport(state_.report(), printer, range ? printer.fromPage() : 0, range ? printer.toPage() : 0);
    } catch (const DbError& e) {
        prompter_.error(e.text(), this);
    }
}

void Frm_Preview::onHelp() {
    prompter_.info(
        QStringLiteral(u"PgUp / PgDn 翻页，Ctrl+滚轮 缩放，Ctrl+F 查找，F3 查找下一个。\n"
                       u"“保存”可存为 PDF、RTF、CSV、HTML、文本或报表文件，报表文件可用“打开”重新查看。"),
        windowTitle(), this);
}

void Frm_Preview::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_PageDown || e->key() == Qt::Key_PageUp) {
        e->key() == Qt::Key_PageDown ? state_.next() : state_.prior();
        showPage();
        return;
    }
    if (e->matches(QKeySequence::Find)) {
        Edit_Find->setFocus();
        Edit_Find->selectAll();
        return;
    }
    if (e->key() == Qt::Key_F3) {
        onFind();
        return;
    }
    QDialog::keyPressEvent(e);
}

bool Frm_Preview::eventFilter(QObject* watched, QEvent* e) {
    if (watched == area_->viewport()) {
        if (e->type() == QEvent::Wheel && (static_cast<QWheelEvent*>(e)->modifiers() & Qt::ControlModifier)) {
            state_.zoomBy(static_cast<QWheelEvent*>(e)->angleDelta().y() > 0 ? 1.25 : 0.8);
            Combo_Zoom->setCurrentIndex(2);
            showPage();
            return true;
        }
        if (e->type() == QEvent::Resize) view_->relayout(area_->viewport()->size());
    }
    return QDialog::eventFilter(watched, e);
}

}  // namespace qv
