#pragma once
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace qv {

// A category chosen in the product category tree: its code (empty for the root) and its name.
struct ProductCategory {
    QString code;
    QString name;
};

// Opens the product category tree as a chooser; empty when the operator chose nothing. The program
// hands in the category tree window of the customer side's tree editor.
using ProductCategoryPicker = std::function<std::optional<ProductCategory>(QWidget* parent)>;

}  // namespace qv
