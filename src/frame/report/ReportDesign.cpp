#include "ReportDesign.h"

#include <algorithm>

namespace qv {

ReportDesign::ReportDesign(ReportTemplate t) : tmpl_(std::move(t)) {}

QPointF ReportDesign::bandOrigin(int band) const {
    double y = tmpl_.page.top;
    for (int i = 0; i < band && i < int(tmpl_.bands.size()); ++i) y += tmpl_.bands[size_t(i)].height;
    return {tmpl_.labels.enabled ? tmpl_.page.left : 0.0, y};
}

QRectF ReportDesign::objectRect(const Selection& s) const {
    if (s.band < 0 || s.band >= int(tmpl_.bands.size())) return {};
    const ReportBand& b = tmpl_.bands[size_t(s.band)];
    if (s.object < 0 || s.object >= int(b.objects.size())) return {};
    return b.objects[size_t(s.object)].rect.translated(bandOrigin(s.band)).normalized();
}

ReportDesign::Selection ReportDesign::objectAt(const QPointF& p) const {
    for (int b = int(tmpl_.bands.size()) - 1; b >= 0; --b) {
        const auto& objects = tmpl_.bands[size_t(b)].objects;
        for (int o = int(objects.size()) - 1; o >= 0; --o) {
            // Thin objects (lines) are hit within a millimetre.
            const QRectF r = objectRect({b, o}).adjusted(-1, -1, 1, 1);
            if (r.contains(p)) return {b, o};
        }
    }
    return {};
}

int ReportDesign::bandAt(const QPointF& p) const {
    for (int b = 0; b < int(tmpl_.bands.size()); ++b) {
        const double top = bandOrigin(b).y();
        if (p.y() >= top && p.y() < top + tmpl_.bands[size_t(b)].height) return b;
    }
    return -1;
}

void ReportDesign::select(const Selection& s) {
    const bool exists = s.valid() && s.band < int(tmpl_.bands.size()) &&
                        s.object < int(tmpl_.bands[size_t(s.band)].objects.size());
    // A band alone (object -1) is selected by a click on its empty strip.
    const bool bandOnly = s.object < 0 && s.band >= 0 && s.band < int(tmpl_.bands.size());
    sel_ = exists ? s : bandOnly ? Selection{s.band, -1} : Selection{};
}

ReportObject* ReportDesign::selectedObject() {
    if (!sel_.valid() || sel_.band >= int(tmpl_.bands.size())) return nullptr;
    auto& objects = tmpl_.bands[size_t(sel_.band)].objects;
    return sel_.object < int(objects.size()) ? &objects[size_t(sel_.object)] : nullptr;
}

const ReportObject* ReportDesign::selected() const {
    return const_cast<ReportDesign*>(this)->selectedObject();
}

void ReportDesign::beginChange() {
    textRun_ = {};
    undo_.push_back({tmpl_, sel_});
    modified_ = true;
}

void ReportDesign::change(bool merge) {
    textRun_ = {};
    if (!merge || undo_.empty()) undo_.push_back({tmpl_, sel_});
    modified_ = true;
}

void ReportDesign::moveSelected(double dx, double dy, bool merge) {
    ReportObject* o = selectedObject();
    if (!o) return;
    change(merge);
    o->rect.translate(dx, dy);
}

void ReportDesign::setSelectedRect(const QRectF& r, bool merge) {
    ReportObject* o = selectedObject();
    if (!o) return;
    change(merge);
    const double minSize = o->kind == ReportObject::Kind::Line ? 0.0 : 1.0;
    o->rect = QRectF(r.x(), r.y(), std::max(r.width(), minSize), std::max(r.height(), minSize));
}

void ReportDesign::setText(const QString& text) {
    ReportObject* o = selectedObject();
    if (!o || o->text == text) return;
    // Typing into the same object is one undo step.
    const bool typing = textRun_ == sel_;
    change(typing);
    textRun_ = sel_;
    o->text = text;
}

void ReportDesign::insertField(const QString& source, const QString& field) {
    const ReportObject* o = selected();
    if (!o || o->kind != ReportObject::Kind::Text) return;
    textRun_ = {};  // an undo step of its own
    setText(o->text + QStringLiteral("[%1.\"%2\"]").arg(source, field));
}

void ReportDesign::setFont(const QString& family, double size, bool bold, bool italic) {
    ReportObject* o = selectedObject();
    if (!o) return;
    change(false);
    o->fontFamily = family;
    o->fontSize = size;
    o->bold = bold;
    o->italic = italic;
}

void ReportDesign::setAlign(int align) {
    if (ReportObject* o = selectedObject(); o && o->align != align) {
        change(false);
        o->align = align;
    }
}

void ReportDesign::setFrame(int frame) {
    if (ReportObject* o = selectedObject(); o && o->frame != frame) {
        change(false);
        o->frame = frame;
    }
}

void ReportDesign::setWordWrap(bool on) {
    if (ReportObject* o = selectedObject(); o && o->wordWrap != on) {
        change(false);
        o->wordWrap = on;
    }
}

void ReportDesign::setGrow(bool on) {
    if (ReportObject* o = selectedObject(); o && o->grow != on) {
        change(false);
        o->grow = on;
    }
}

QString ReportDesign::newName(ReportObject::Kind kind) const {
    const char* stem = kind == ReportObject::Kind::Text   ? "Memo"
                       : kind == ReportObject::Kind::Line ? "Line"
                       : kind == ReportObject::Kind::Rect ? "Shape"
                                                          : "Picture";
    for (int n = 1;; ++n) {
        const QString name = QString::fromLatin1(stem) + QString::number(n);
        if (!tmpl_.findObject(name)) return name;
    }
}

void ReportDesign::addObject(int band, ReportObject::Kind kind) {
    if (band < 0 || band >= int(tmpl_.bands.size())) return;
    change(false);
    ReportObject o;
    o.kind = kind;
    o.name = newName(kind);
    const double x = tmpl_.labels.enabled ? 2 : tmpl_.page.left;
    const double h = std::min(5.0, std::max(1.0, tmpl_.bands[size_t(band)].height));
    o.rect = kind == ReportObject::Kind::Line ? QRectF(x, 1, 40, 0) : QRectF(x, 0, 40, h);
    auto& objects = tmpl_.bands[size_t(band)].objects;
    objects.push_back(std::move(o));
    sel_ = {band, int(objects.size()) - 1};
}

void ReportDesign::deleteSelected() {
    if (!selectedObject()) return;
    change(false);
    auto& objects = tmpl_.bands[size_t(sel_.band)].objects;
    objects.erase(objects.begin() + sel_.object);
    sel_ = {};
}

void ReportDesign::addBand(ReportBand::Kind kind, const QString& source) {
    change(false);
    ReportBand b;
    b.kind = kind;
    b.height = 10;
    b.source = source;
    const auto at = std::find_if(tmpl_.bands.begin(), tmpl_.bands.end(),
                                 [kind](const ReportBand& x) { return int(x.kind) > int(kind); });
    const int index = int(at - tmpl_.bands.begin());
    tmpl_.bands.insert(at, std::move(b));
    if (sel_.valid() && sel_.band >= index) ++sel_.band;
}

void ReportDesign::deleteBand(int band) {
    if (band < 0 || band >= int(tmpl_.bands.size())) return;
    change(false);
    tmpl_.bands.erase(tmpl_.bands.begin() + band);
    if (sel_.band == band)
        sel_ = {};
    else if (sel_.band > band)
        --sel_.band;
}

void ReportDesign::setBandHeight(int band, double h) {
    if (band < 0 || band >= int(tmpl_.bands.size()) || tmpl_.bands[size_t(band)].height == h) return;
    change(false);
    tmpl_.bands[size_t(band)].height = std::max(1.0, h);
}

void ReportDesign::setPage(const PageSetup& page) {
    change(false);
    tmpl_.page = page;
}

void ReportDesign::setLabels(const LabelSheet& labels) {
    change(false);
    tmpl_.labels = labels;
}

void ReportDesign::undo() {
    if (undo_.empty()) return;
    tmpl_ = std::move(undo_.back().tmpl);
    sel_ = undo_.back().sel;
    undo_.pop_back();
    textRun_ = {};
    modified_ = true;
}

QString bandCaption(ReportBand::Kind kind) {
    switch (kind) {
        case ReportBand::Kind::ReportTitle:
            return QStringLiteral(u"报表标题");
        case ReportBand::Kind::PageHeader:
            return QStringLiteral(u"页眉");
        case ReportBand::Kind::ColumnHeader:
            return QStringLiteral(u"栏目标题");
        case ReportBand::Kind::MasterData:
            return QStringLiteral(u"主数据");
        case ReportBand::Kind::PageFooter:
            return QStringLiteral(u"页脚");
        case ReportBand::Kind::Summary:
            return QStringLiteral(u"报表合计");
    }
    return {};
}

}  // namespace qv
