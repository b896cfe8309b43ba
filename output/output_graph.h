// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The output graph as the filter property dialog sees it: its components by name, in the
// order they are connected, each with its settings pages when it has any.
#include <QString>
#include <functional>
#include <vector>

class QWidget;

struct GraphFilter {
    QString name;
    // False when the component's description cannot be read; it is listed as "<ERROR>".
    bool readable = true;
    // Opens the component's settings pages in a window owned by `owner` and captioned
    // `caption`, and returns when that window closes. Empty: the component has no pages.
    std::function<void(QWidget* owner, const QString& caption)> showPages;
};

class OutputGraphView {
public:
    virtual ~OutputGraphView() = default;
    // The graph's components in order; false when they cannot be listed at all.
    virtual bool enumerateFilters(std::vector<GraphFilter>& out) const = 0;
};

// A graph whose components are known up front.
class ListedOutputGraph : public OutputGraphView {
public:
    explicit ListedOutputGraph(std::vector<GraphFilter> filters) : filters_(std::move(filters)) {}
    bool enumerateFilters(std::vector<GraphFilter>& out) const override {
        out = filters_;
        return true;
    }

private:
    std::vector<GraphFilter> filters_;
};
