#pragma once
#include <memory>

#include "ListEditor.h"

namespace qv {

// The twelve list editor windows, one class each so that every window keeps its own name.
class Frm_Country : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_Country(Context& ctx, QWidget* parent = nullptr);
};

class Frm_People : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_People(Context& ctx, QWidget* parent = nullptr);
};

class Frm_Post : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_Post(Context& ctx, QWidget* parent = nullptr);
};

class Frm_Depart : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_Depart(Context& ctx, QWidget* parent = nullptr);
};

class Frm_custlevel : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_custlevel(Context& ctx, QWidget* parent = nullptr);
};

class Frm_Clientsource : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_Clientsource(Context& ctx, QWidget* parent = nullptr);
};

class Frm_Clienttype : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_Clienttype(Context& ctx, QWidget* parent = nullptr);
};

class Frm_Type : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_Type(Context& ctx, QWidget* parent = nullptr);
};

class Frm_Clientstate : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_Clientstate(Context& ctx, QWidget* parent = nullptr);
};

class Frm_clientphase : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_clientphase(Context& ctx, QWidget* parent = nullptr);
};

class Frm_Subject : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_Subject(Context& ctx, QWidget* parent = nullptr);
};

class Frm_Measure : public ListEditor {
    Q_OBJECT
public:
    explicit Frm_Measure(Context& ctx, QWidget* parent = nullptr);
};

// Creates the editor window of that name ("Frm_Post", ...); null for an unknown name.
std::unique_ptr<ListEditor> createListEditor(Context& ctx, const QString& window, QWidget* parent = nullptr);

}  // namespace qv
