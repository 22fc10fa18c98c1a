#pragma once
// Where in a project a problem of the check or a change of the diff lies:
// the project as a whole, a block, an algorithm step of a block, a page 1..8,
// or an element of a page by its kind and number. The JSON forms are
// {}, {"block": n}, {"block": n, "step": k}, {"page": p} and
// {"page": p, "kind": K, "number": n} with K the kind's table name.
#include "scada/element_kinds.h"

#include <QJsonObject>
#include <QString>
#include <optional>

namespace ostrel {

struct Place {
    enum class Where : uint8_t { Project, Block, Step, Page, Element };
    Where where = Where::Project;
    int block = 0;      // Block, Step
    int step = 0;       // Step: 1..128
    int page = 0;       // Page, Element: 1..8 as the tabs count
    ObjectKind kind = ObjectKind::Parametr; // Element
    int number = 0;     // Element; the graph and the clock have 1

    static Place project() { return {}; }
    static Place ofBlock(int n) { return {Where::Block, n}; }
    static Place ofStep(int n, int s) { return {Where::Step, n, s}; }
    static Place ofPage(int p) { return {Where::Page, 0, 0, p}; }
    static Place ofElement(int p, ObjectKind k, int n) { return {Where::Element, 0, 0, p, k, n}; }

    bool isScheme() const { return where == Where::Block || where == Where::Step; }
    bool isPage() const { return where == Where::Page || where == Where::Element; }

    QJsonObject toJson() const;
    // "page 1, parametr 3", "block 12, step 4", "" for the project.
    QString text() const;
    bool operator==(const Place&) const = default;
};

// The kind whose table name is `name` ("text_signal"), from the kind table.
std::optional<ObjectKind> kindOfTableName(QStringView name);

} // namespace ostrel
