#include "ReportCommands.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "DbError.h"
#include "Frm_Preview.h"
#include "Prompter.h"
#include "Report.h"
#include "ReportEngine.h"

namespace qv {

bool showReport(const Report& report, Prompter& prompter, QWidget* parent,
                const std::function<int(QDialog&)>& runModal, QDate today) {
    PreparedReport prepared;
    try {
        QProgressDialog progress(QStringLiteral(u"正在准备报表……"), QStringLiteral(u"取消"), 0, 0, parent);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        PrepareOptions options;
        options.today = today;
        options.progress = [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(std::min(done, total));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        };
        prepared = prepareReport(report, options);
    } catch (const DbError& e) {
        prompter.error(e.text(), parent);
        return false;
    }
    if (prepared.cancelled) return false;
    Frm_Preview preview(std::move(prepared), prompter, parent, runModal);
    runModal ? runModal(preview) : preview.exec();
    return true;
}

}  // namespace qv
