#pragma once
#include <QList>
#include <QTreeWidget>
#include <optional>

namespace qv {

// The tri-state check tree of the rights editor: every node has a check box; checking or
// unchecking a node sets all nodes below it alike, and a node whose children differ shows partly
// checked (its state follows its children). Nodes carry a code in Qt::UserRole so that the editor
// saves by code. The tree also works when filled by a loader that only sets texts, codes and check
// states on plain items.
//
// Three ways of reading a node's state:
//   state  0 unchecked, 1 checked, 2 partly checked (the editor's own reading);
//   Tag    1 unchecked, 2 checked, 3 partly checked (the stored rights rows);
//   Authority  no when unchecked, yes when checked, unchanged when partly checked.
class CheckTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int CodeRole = Qt::UserRole;
    enum NodeState { Unchecked = 0, Checked = 1, Partly = 2 };

    explicit CheckTree(QWidget* parent = nullptr);

    // Adds a node under `parent` (top level when null) with its text, code and stored Tag.
    QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& text, const QString& code, int tag);

    // Every node from the top, each group followed by its children (the order of the stored rows).
    QList<QTreeWidgetItem*> nodes() const;
    QTreeWidgetItem* findCode(const QString& code) const;

    static QString code(const QTreeWidgetItem* node);
    static NodeState state(const QTreeWidgetItem* node);
    static int tag(const QTreeWidgetItem* node);
    static std::optional<bool> authority(const QTreeWidgetItem* node);

    // Sets a node the way a click does (children follow, parents are re-derived).
    void setState(QTreeWidgetItem* node, NodeState state);
    void setTag(QTreeWidgetItem* node, int tag);
    // By code; false when no node has the code.
    bool setTag(const QString& code, int tag);
    // The node's Tag, or 0 when no node has the code.
    int tagOf(const QString& code) const;

    // Mappings between the stored Tag and the check state (an unknown Tag reads as unchecked).
    static Qt::CheckState checkStateForTag(int tag);
    static int tagForCheckState(Qt::CheckState state);

private:
    void onItemChanged(QTreeWidgetItem* item, int column);
    void setSubtree(QTreeWidgetItem* node, Qt::CheckState state);
    void deriveUpwards(QTreeWidgetItem* node);

    bool cascading_ = false;
};

}  // namespace qv
