#pragma once
#include <QPointF>
#include <QRectF>
#include <vector>

#include "ReportTemplate.h"

namespace qv {

// The editing logic of the report designer, free of widgets: a working copy of a template, the
// selected object, the changes the designer makes and their undo. Lengths are millimetres. On the
// design page the bands lie one below the other from the top margin, each as high as it is; an
// object's x is measured from the paper's left edge (from the label's left edge on a label sheet,
// which starts at the left margin), its y from its band's top.
class ReportDesign {
public:
    struct Selection {
        int band = -1, object = -1;
        bool valid() const { return band >= 0 && object >= 0; }
        bool operator==(const Selection&) const = default;
    };

    explicit ReportDesign(ReportTemplate t = {});

    const ReportTemplate& reportTemplate() const { return tmpl_; }
    bool isModified() const { return modified_; }
    // The working copy was saved: no longer modified (undo still reaches back).
    void markSaved() {
        modified_ = false;
        textRun_ = {};
    }

    // --- layout of the design page ----------------------------------------------------------------
    // The top-left corner of band `i` on the page.
    QPointF bandOrigin(int band) const;
    // An object's rectangle on the page.
    QRectF objectRect(const Selection& s) const;
    // The topmost object under the point (later objects lie above earlier ones); invalid when none.
    Selection objectAt(const QPointF& pageMm) const;
    // The band whose strip holds the point; -1 when none.
    int bandAt(const QPointF& pageMm) const;

    // --- selection --------------------------------------------------------------------------------
    // The selected object, or a band alone (object -1), or nothing (band -1).
    const Selection& selection() const { return sel_; }
    void select(const Selection& s);
    const ReportObject* selected() const;

    // --- changes (each can be undone) --------------------------------------------------------------
    // A change made in several steps (a drag with the mouse) is one undo step: begin it once, then
    // call the changes with `merge` set.
    void beginChange();
    void moveSelected(double dxMm, double dyMm, bool merge = false);
    // Position and size as typed; sizes below 1 mm become 1 mm (a line keeps a zero extent).
    void setSelectedRect(const QRectF& rectMm, bool merge = false);
    void setText(const QString& text);
    void insertField(const QString& source, const QString& field);
    void setFont(const QString& family, double size, bool bold, bool italic);
    void setAlign(int align);
    void setFrame(int frame);
    void setWordWrap(bool on);
    void setGrow(bool on);
    // Adds an object of that kind to the band (a text with a new name "MemoN") and selects it.
    void addObject(int band, ReportObject::Kind kind);
    void deleteSelected();
    // Adds a band of that kind (a master data band reading `source`) in the order bands print.
    void addBand(ReportBand::Kind kind, const QString& source = {});
    void deleteBand(int band);
    void setBandHeight(int band, double heightMm);
    void setPage(const PageSetup& page);
    void setLabels(const LabelSheet& labels);

    bool canUndo() const { return !undo_.empty(); }
    void undo();

private:
    ReportObject* selectedObject();
    void change(bool merge);
    QString newName(ReportObject::Kind kind) const;

    ReportTemplate tmpl_;
    Selection sel_;
    bool modified_ = false;
    struct Step {
        ReportTemplate tmpl;
        Selection sel;
    };
    std::vector<Step> undo_;
    Selection textRun_;  // the object whose text was the last change: further typing joins that step
};

// The name of a band kind as the designer shows it ("主数据").
QString bandCaption(ReportBand::Kind kind);

}  // namespace qv
