// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transition_names.h"

#include "timeline/transition_catalogue.h"

namespace {

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString transitionListName(int index) {
    return fromView(timeline::TransitionCatalogue::listName(index));
}

QString transitionMenuName(int index) {
    return fromView(timeline::TransitionCatalogue::menuName(index));
}
