#include "Frm_Design.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "Dataset.h"
#include "DbError.h"
#include "DesignCanvas.h"
#include "PreparedReport.h"
#include "Prompter.h"
#include "ReportCommands.h"

namespace qv {

namespace {

QDoubleSpinBox* mmSpin(double max = 2000) {
    auto* s = new QDoubleSpinBox;
    s->setRange(-max, max);
    s->setDecimals(1);
    s->setSingleStep(0.5);
    s->setSuffix(QStringLiteral(" mm"));
    return s;
}

struct AlignChoice {
    const char16_t* caption;
    int align;
};
const AlignChoice kAligns[] = {
    {u"左对齐", Qt::AlignLeft | Qt::AlignTop},  {u"居中", Qt::AlignHCenter | Qt::AlignTop},
    {u"右对齐", Qt::AlignRight | Qt::AlignTop}, {u"左对齐（垂直居中）", Qt::AlignLeft | Qt::AlignVCenter},
    {u"居中（垂直居中）", Qt::AlignCenter},     {u"右对齐（垂直居中）", Qt::AlignRight | Qt::AlignVCenter},
};

const ReportBand::Kind kBandKinds[] = {ReportBand::Kind::ReportTitle,  ReportBand::Kind::PageHeader,
                                       ReportBand::Kind::ColumnHeader, ReportBand::Kind::MasterData,
                                       ReportBand::Kind::PageFooter,   ReportBand::Kind::Summary};

}  // namespace

Frm_Design::Frm_Design(Report& report, Prompter& prompter, QWidget* parent,
                       std::function<int(QDialog&)> runModal, QDate today)
    : QDialog(parent),
      report_(report),
      prompter_(prompter),
      runModal_(std::move(runModal)),
      today_(today),
      design_(report.reportTemplate()) {
    setObjectName(QStringLiteral("Frm_Design"));
    setWindowTitle(QStringLiteral(u"报表设计 - %1").arg(report.displayPath()));
    resize(1100, 760);

    auto* bar = new QHBoxLayout;
    auto button = [this, bar](const char* name, const char16_t* caption, auto slot) {
        auto* b = new QPushButton(QString::fromUtf16(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    button("Btn_Save", u"保存", [this] { save(); });
    button("Btn_Preview", u"预览", [this] { preview(); });
    button("Btn_Undo", u"撤销", [this] {
        design_.undo();
        refresh();
    });
    button("Btn_AddText", u"文本", [this] { addObject(ReportObject::Kind::Text); });
    button("Btn_AddLine", u"直线", [this] { addObject(ReportObject::Kind::Line); });
    button("Btn_AddRect", u"矩形", [this] { addObject(ReportObject::Kind::Rect); });
    button("Btn_Delete", u"删除对象", [this] {
        design_.deleteSelected();
        refresh();
    });
    Combo_BandKind = new QComboBox(this);
    for (ReportBand::Kind k : kBandKinds) Combo_BandKind->addItem(bandCaption(k), int(k));
    bar->addSpacing(12);
    bar->addWidget(Combo_BandKind);
    button("Btn_AddBand", u"添加带区", [this] { addBand(); });
    button("Btn_DeleteBand", u"删除带区", [this] {
        design_.deleteBand(design_.selection().band);
        refresh();
    });
    bar->addStretch();
    button("Btn_Close", u"关闭", [this] { reject(); });

    canvas_ = new DesignCanvas(design_, this);
    connect(canvas_, &DesignCanvas::changed, this, &Frm_Design::showSelection);
    auto* area = new QScrollArea(this);
    area->setWidget(canvas_);
    area->setAlignment(Qt::AlignHCenter);
    area->setBackgroundRole(QPalette::Dark);

    auto* tabs = new QTabWidget(this);
    tabs->addTab(buildProperties(), QStringLiteral(u"对象"));
    tabs->addTab(buildPageSetup(), QStringLiteral(u"页面设置"));
    Tree_Fields = new QTreeWidget(this);
    Tree_Fields->setHeaderLabel(QStringLiteral(u"数据字段（双击插入）"));
    connect(Tree_Fields, &QTreeWidget::itemDoubleClicked, this, &Frm_Design::onFieldActivated);
    tabs->addTab(Tree_Fields, QStringLiteral(u"数据字段"));
    tabs->setMinimumWidth(320);

    auto* split = new QSplitter(this);
    split->addWidget(area);
    split->addWidget(tabs);
    split->setStretchFactor(0, 1);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(bar);
    lay->addWidget(split, 1);

    fillFieldList();
    refresh();
}

QWidget* Frm_Design::buildProperties() {
    auto* w = new QWidget;
    auto* f = new QFormLayout(w);
    Label_Name = new QLabel(w);
    f->addRow(QStringLiteral(u"名称"), Label_Name);
    Spin_X = mmSpin();
    Spin_Y = mmSpin();
    Spin_W = mmSpin();
    Spin_H = mmSpin();
    f->addRow(QStringLiteral(u"左"), Spin_X);
    f->addRow(QStringLiteral(u"上"), Spin_Y);
    f->addRow(QStringLiteral(u"宽"), Spin_W);
    f->addRow(QStringLiteral(u"高"), Spin_H);
    for (QDoubleSpinBox* s : {Spin_X, Spin_Y, Spin_W, Spin_H})
        connect(s, &QDoubleSpinBox::valueChanged, this, &Frm_Design::applyGeometry);
    Memo_Text = new QPlainTextEdit(w);
    Memo_Text->setObjectName(QStringLiteral("Memo_Text"));
    connect(Memo_Text, &QPlainTextEdit::textChanged, this, &Frm_Design::applyText);
    f->addRow(QStringLiteral(u"文本"), Memo_Text);
    Combo_Font = new QFontComboBox(w);
    Spin_FontSize = new QDoubleSpinBox(w);
    Spin_FontSize->setRange(4, 96);
    Spin_FontSize->setDecimals(1);
    Check_Bold = new QCheckBox(QStringLiteral(u"粗体"), w);
    Check_Italic = new QCheckBox(QStringLiteral(u"斜体"), w);
    Combo_Align = new QComboBox(w);
    for (const AlignChoice& a : kAligns) Combo_Align->addItem(QString::fromUtf16(a.caption), a.align);
    Check_Frame = new QCheckBox(QStringLiteral(u"边框"), w);
    Check_Wrap = new QCheckBox(QStringLiteral(u"自动换行"), w);
    Check_Grow = new QCheckBox(QStringLiteral(u"自动伸展"), w);
    f->addRow(QStringLiteral(u"字体"), Combo_Font);
    f->addRow(QStringLiteral(u"字号"), Spin_FontSize);
    f->addRow(Check_Bold);
    f->addRow(Check_Italic);
    f->addRow(QStringLiteral(u"对齐"), Combo_Align);
    f->addRow(Check_Frame);
    f->addRow(Check_Wrap);
    f->addRow(Check_Grow);
    connect(Combo_Font, &QFontComboBox::currentFontChanged, this, &Frm_Design::applyStyle);
    connect(Spin_FontSize, &QDoubleSpinBox::valueChanged, this, &Frm_Design::applyStyle);
    connect(Combo_Align, &QComboBox::currentIndexChanged, this, &Frm_Design::applyStyle);
    for (QCheckBox* c : {Check_Bold, Check_Italic, Check_Frame, Check_Wrap, Check_Grow})
        connect(c, &QCheckBox::toggled, this, &Frm_Design::applyStyle);
    Spin_BandHeight = mmSpin();
    Spin_BandHeight->setMinimum(1);
    f->addRow(QStringLiteral(u"带区高度"), Spin_BandHeight);
    connect(Spin_BandHeight, &QDoubleSpinBox::valueChanged, this, [this](double h) {
        if (filling_) return;
        design_.setBandHeight(design_.selection().band, h);
        canvas_->relayout();
    });
    return w;
}

QWidget* Frm_Design::buildPageSetup() {
    auto* w = new QWidget;
    auto* f = new QFormLayout(w);
    Spin_PaperW = mmSpin();
    Spin_PaperH = mmSpin();
    Check_Landscape = new QCheckBox(QStringLiteral(u"横向"), w);
    Spin_Left = mmSpin();
    Spin_Top = mmSpin();
    Spin_Right = mmSpin();
    Spin_Bottom = mmSpin();
    f->addRow(QStringLiteral(u"纸张宽度"), Spin_PaperW);
    f->addRow(QStringLiteral(u"纸张高度"), Spin_PaperH);
    f->addRow(Check_Landscape);
    f->addRow(QStringLiteral(u"左边距"), Spin_Left);
    f->addRow(QStringLiteral(u"上边距"), Spin_Top);
    f->addRow(QStringLiteral(u"右边距"), Spin_Right);
    f->addRow(QStringLiteral(u"下边距"), Spin_Bottom);
    Check_Labels = new QCheckBox(QStringLiteral(u"标签纸"), w);
    Spin_Columns = new QSpinBox(w);
    Spin_Rows = new QSpinBox(w);
    Spin_Columns->setRange(1, 50);
    Spin_Rows->setRange(1, 100);
    Spin_LabelW = mmSpin();
    Spin_LabelH = mmSpin();
    Spin_HGap = mmSpin();
    Spin_VGap = mmSpin();
    f->addRow(Check_Labels);
    f->addRow(QStringLiteral(u"列数"), Spin_Columns);
    f->addRow(QStringLiteral(u"行数"), Spin_Rows);
    f->addRow(QStringLiteral(u"标签宽度"), Spin_LabelW);
    f->addRow(QStringLiteral(u"标签高度"), Spin_LabelH);
    f->addRow(QStringLiteral(u"水平间距"), Spin_HGap);
    f->addRow(QStringLiteral(u"垂直间距"), Spin_VGap);
    for (QDoubleSpinBox* s : {Spin_PaperW, Spin_PaperH, Spin_Left, Spin_Top, Spin_Right, Spin_Bottom,
                              Spin_LabelW, Spin_LabelH, Spin_HGap, Spin_VGap})
        connect(s, &QDoubleSpinBox::valueChanged, this, &Frm_Design::applyPage);
    for (QSpinBox* s : {Spin_Columns, Spin_Rows})
        connect(s, &QSpinBox::valueChanged, this, &Frm_Design::applyPage);
    for (QCheckBox* c : {Check_Landscape, Check_Labels})
        connect(c, &QCheckBox::toggled, this, &Frm_Design::applyPage);
    return w;
}

void Frm_Design::fillFieldList() {
    Tree_Fields->clear();
    for (const QString& name : report_.sourceNames()) {
        const Dataset* ds = report_.source(name);
        if (!ds) continue;
        auto* top = new QTreeWidgetItem(Tree_Fields, {name});
        for (const QString& field : ds->fieldNames()) new QTreeWidgetItem(top, {field});
    }
}

void Frm_Design::onFieldActivated(QTreeWidgetItem* item) {
    if (!item || !item->parent()) return;
    design_.insertField(item->parent()->text(0), item->text(0));
    refresh();
}

void Frm_Design::refresh() {
    canvas_->relayout();
    showSelection();
}

void Frm_Design::showSelection() {
    filling_ = true;
    const ReportObject* o = design_.selected();
    const QRectF r = o ? o->rect : QRectF();
    Label_Name->setText(o ? o->name : QString());
    Spin_X->setValue(r.x());
    Spin_Y->setValue(r.y());
    Spin_W->setValue(r.width());
    Spin_H->setValue(r.height());
    if (!o || Memo_Text->toPlainText() != o->text) Memo_Text->setPlainText(o ? o->text : QString());
    Combo_Font->setCurrentFont(QFont(o && !o->fontFamily.isEmpty() ? o->fontFamily : printFamily(QString())));
    Spin_FontSize->setValue(o ? o->fontSize : 10);
    Check_Bold->setChecked(o && o->bold);
    Check_Italic->setChecked(o && o->italic);
    Combo_Align->setCurrentIndex(std::max(0, Combo_Align->findData(o ? o->align : 0)));
    Check_Frame->setChecked(o && o->frame == ReportObject::FrameAll);
    Check_Wrap->setChecked(o && o->wordWrap);
    Check_Grow->setChecked(o && o->grow);
    for (QWidget* wgt : std::initializer_list<QWidget*>{Spin_X, Spin_Y, Spin_W, Spin_H, Memo_Text, Combo_Font,
                                                        Spin_FontSize, Check_Bold, Check_Italic, Combo_Align,
                                                        Check_Frame, Check_Wrap, Check_Grow})
        wgt->setEnabled(o != nullptr);
    const int band = design_.selection().band;
    const auto& bands = design_.reportTemplate().bands;
    Spin_BandHeight->setEnabled(band >= 0 && band < int(bands.size()));
    Spin_BandHeight->setValue(Spin_BandHeight->isEnabled() ? bands[size_t(band)].height : 1);
    const PageSetup& p = design_.reportTemplate().page;
    const LabelSheet& l = design_.reportTemplate().labels;
    Spin_PaperW->setValue(p.width);
    Spin_PaperH->setValue(p.height);
    Check_Landscape->setChecked(p.landscape);
    Spin_Left->setValue(p.left);
    Spin_Top->setValue(p.top);
    Spin_Right->setValue(p.right);
    Spin_Bottom->setValue(p.bottom);
    Check_Labels->setChecked(l.enabled);
    Spin_Columns->setValue(l.columns);
    Spin_Rows->setValue(l.rows);
    Spin_LabelW->setValue(l.labelWidth);
    Spin_LabelH->setValue(l.labelHeight);
    Spin_HGap->setValue(l.hGap);
    Spin_VGap->setValue(l.vGap);
    filling_ = false;
}

void Frm_Design::applyGeometry() {
    if (filling_) return;
    design_.setSelectedRect(QRectF(Spin_X->value(), Spin_Y->value(), Spin_W->value(), Spin_H->value()));
    canvas_->update();
}

void Frm_Design::applyText() {
    if (filling_) return;
    design_.setText(Memo_Text->toPlainText());
    canvas_->update();
}

void Frm_Design::applyStyle() {
    if (filling_ || !design_.selected()) return;
    const ReportObject o = *design_.selected();
    const QString family = Combo_Font->currentFont().family();
    // The default font stays unnamed in the template, so that it follows the program's default.
    const QString keep = o.fontFamily.isEmpty() && family == printFamily(QString()) ? QString() : family;
    if (keep != o.fontFamily || Spin_FontSize->value() != o.fontSize || Check_Bold->isChecked() != o.bold ||
        Check_Italic->isChecked() != o.italic)
        design_.setFont(keep, Spin_FontSize->value(), Check_Bold->isChecked(), Check_Italic->isChecked());
    design_.setAlign(Combo_Align->currentData().toInt());
    const bool framed = o.frame == ReportObject::FrameAll;
    if (Check_Frame->isChecked() != framed)
        design_.setFrame(Check_Frame->isChecked() ? ReportObject::FrameAll : ReportObject::NoFrame);
    design_.setWordWrap(Check_Wrap->isChecked());
    design_.setGrow(Check_Grow->isChecked());
    canvas_->update();
}

void Frm_Design::applyPage() {
    if (filling_) return;
    PageSetup p;
    p.width = Spin_PaperW->value();
    p.height = Spin_PaperH->value();
    p.landscape = Check_Landscape->isChecked();
    p.left = Spin_Left->value();
    p.top = Spin_Top->value();
    p.right = Spin_Right->value();
    p.bottom = Spin_Bottom->value();
    LabelSheet l;
    l.enabled = Check_Labels->isChecked();
    l.columns = Spin_Columns->value();
    l.rows = Spin_Rows->value();
    l.labelWidth = Spin_LabelW->value();
    l.labelHeight = Spin_LabelH->value();
    l.hGap = Spin_HGap->value();
    l.vGap = Spin_VGap->value();
    const ReportTemplate& t = design_.reportTemplate();
    if (p.width != t.page.width || p.height != t.page.height || p.landscape != t.page.landscape ||
        p.left != t.page.left || p.top != t.page.top || p.right != t.page.right || p.bottom != t.page.bottom)
        design_.setPage(p);
    if (l.enabled != t.labels.enabled || l.columns != t.labels.columns || l.rows != t.labels.rows ||
        l.labelWidth != t.labels.labelWidth || l.labelHeight != t.labels.labelHeight ||
        l.hGap != t.labels.hGap || l.vGap != t.labels.vGap)
        design_.setLabels(l);
    canvas_->relayout();
}

void Frm_Design::addObject(ReportObject::Kind kind) {
    int band = design_.selection().band;
    if (band < 0) band = design_.reportTemplate().bands.empty() ? -1 : 0;
    if (band < 0) {
        prompter_.warning(QStringLiteral(u"请先添加一个带区。"), QStringLiteral(u"报表设计"), this);
        return;
    }
    design_.addObject(band, kind);
    refresh();
}

void Frm_Design::addBand() {
    const auto kind = ReportBand::Kind(Combo_BandKind->currentData().toInt());
    QString source;
    // A master data band reads the report's first source that has a dataset.
    if (kind == ReportBand::Kind::MasterData)
        for (const QString& name : report_.sourceNames())
            if (report_.source(name)) {
                source = name;
                break;
            }
    design_.addBand(kind, source);
    refresh();
}

bool Frm_Design::save() {
    ReportTemplate before = report_.reportTemplate();
    report_.setTemplate(design_.reportTemplate());
    try {
        report_.saveTemplate();
    } catch (const DbError& e) {
        report_.setTemplate(std::move(before));
        prompter_.error(e.text(), this);
        return false;
    }
    design_.markSaved();
    return true;
}

void Frm_Design::preview() {
    Report copy = report_;
    copy.setTemplate(design_.reportTemplate());
    showReport(copy, prompter_, this, runModal_, today_);
}

void Frm_Design::done(int r) {
    if (design_.isModified()) {
        const auto answer = prompter_.message(QStringLiteral(u"报表格式已修改，是否保存？"),
                                              QStringLiteral(u"报表设计"), QMessageBox::Question,
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
        if (answer == QMessageBox::Cancel) return;
        if (answer == QMessageBox::Yes && !save()) return;
    }
    QDialog::done(r);
}

void Frm_Design::keyPressEvent(QKeyEvent* e) {
    if (e->matches(QKeySequence::Undo)) {
        design_.undo();
        refresh();
        return;
    }
    if (e->matches(QKeySequence::Save)) {
        save();
        return;
    }
    if (e->key() == Qt::Key_Delete && canvas_->hasFocus()) {
        design_.deleteSelected();
        refresh();
        return;
    }
    QDialog::keyPressEvent(e);
}

void designReport(Report& report, Prompter& prompter, QWidget* parent,
                  const std::function<int(QDialog&)>& runModal, QDate today) {
    Frm_Design dlg(report, prompter, parent, runModal, today);
    runModal ? runModal(dlg) : dlg.exec();
}

}  // namespace qv
