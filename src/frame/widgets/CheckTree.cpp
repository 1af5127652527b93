#include "CheckTree.h"

#include <QHeaderView>

namespace qv {

namespace {

bool hasCheckBox(const QTreeWidgetItem* item) { return item->data(0, Qt::CheckStateRole).isValid(); }

// The state a parent shows for its children: all alike gives theirs, any difference partly checked.
// Children without a check box (a loader still filling them in) do not count.
std::optional<Qt::CheckState> stateOfChildren(const QTreeWidgetItem* parent) {
    std::optional<Qt::CheckState> result;
    for (int i = 0; i < parent->childCount(); ++i) {
        const QTreeWidgetItem* child = parent->child(i);
        if (!hasCheckBox(child)) continue;
        const Qt::CheckState s = child->checkState(0);
        if (!result)
            result = s;
        else if (*result != s)
            return Qt::PartiallyChecked;
    }
    return result;
}

void collect(QTreeWidgetItem* item, QList<QTreeWidgetItem*>& out) {
    out << item;
    for (int i = 0; i < item->childCount(); ++i) collect(item->child(i), out);
}

}  // namespace

CheckTree::CheckTree(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    header()->hide();
    connect(this, &QTreeWidget::itemChanged, this, &CheckTree::onItemChanged);
}

QTreeWidgetItem* CheckTree::addNode(QTreeWidgetItem* parent, const QString& text, const QString& code,
                                    int tag) {
    auto* item = parent ? new QTreeWidgetItem(parent, QStringList{text})
                        : new QTreeWidgetItem(this, QStringList{text});
    item->setData(0, CodeRole, code);
    item->setCheckState(0, checkStateForTag(tag));
    return item;
}

QList<QTreeWidgetItem*> CheckTree::nodes() const {
    QList<QTreeWidgetItem*> out;
    for (int i = 0; i < topLevelItemCount(); ++i) collect(topLevelItem(i), out);
    return out;
}

QTreeWidgetItem* CheckTree::findCode(const QString& code) const {
    for (QTreeWidgetItem* item : nodes())
        if (CheckTree::code(item) == code) return item;
    return nullptr;
}

QString CheckTree::code(const QTreeWidgetItem* node) { return node->data(0, CodeRole).toString(); }

CheckTree::NodeState CheckTree::state(const QTreeWidgetItem* node) {
    switch (node->checkState(0)) {
        case Qt::Checked:
            return Checked;
        case Qt::PartiallyChecked:
            return Partly;
        case Qt::Unchecked:
            break;
    }
    return Unchecked;
}

int CheckTree::tag(const QTreeWidgetItem* node) { return tagForCheckState(node->checkState(0)); }

std::optional<bool> CheckTree::authority(const QTreeWidgetItem* node) {
    switch (state(node)) {
        case Checked:
            return true;
        case Unchecked:
            return false;
        case Partly:
            break;
    }
    return std::nullopt;
}

void CheckTree::setState(QTreeWidgetItem* node, NodeState state) {
    node->setCheckState(0, state == Checked  ? Qt::Checked
                           : state == Partly ? Qt::PartiallyChecked
                                             : Qt::Unchecked);
}

void CheckTree::setTag(QTreeWidgetItem* node, int tag) { node->setCheckState(0, checkStateForTag(tag)); }

bool CheckTree::setTag(const QString& code, int tag) {
    QTreeWidgetItem* node = findCode(code);
    if (!node) return false;
    setTag(node, tag);
    return true;
}

int CheckTree::tagOf(const QString& code) const {
    const QTreeWidgetItem* node = findCode(code);
    return node ? tag(node) : 0;
}

Qt::CheckState CheckTree::checkStateForTag(int tag) {
    switch (tag) {
        case 2:
            return Qt::Checked;
        case 3:
            return Qt::PartiallyChecked;
        default:
            return Qt::Unchecked;
    }
}

int CheckTree::tagForCheckState(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return 2;
        case Qt::PartiallyChecked:
            return 3;
        case Qt::Unchecked:
            break;
    }
    return 1;
}

void CheckTree::onItemChanged(QTreeWidgetItem* item, int column) {
    // Changes made here re-enter through itemChanged; they are already complete.
    if (cascading_ || column != 0 || !hasCheckBox(item)) return;
    cascading_ = true;
    const Qt::CheckState s = item->checkState(0);
    if (s != Qt::PartiallyChecked) setSubtree(item, s);
    deriveUpwards(item->parent());
    cascading_ = false;
}

void CheckTree::setSubtree(QTreeWidgetItem* node, Qt::CheckState state) {
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (!hasCheckBox(child)) continue;
        child->setCheckState(0, state);
        setSubtree(child, state);
    }
}

void CheckTree::deriveUpwards(QTreeWidgetItem* node) {
    for (; node && hasCheckBox(node); node = node->parent())
        if (const auto s = stateOfChildren(node)) node->setCheckState(0, *s);
}

}  // namespace qv
