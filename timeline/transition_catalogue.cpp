// SPDX-License-Identifier: GPL-3.0-or-later
#include "timeline/transition_catalogue.h"

// The table is data the whole program relies on; these checks make a slip in editing it
// a build error rather than a wrong effect on some user's video.
namespace timeline {
namespace {

constexpr bool wipesAreExactlyTheMaskedEntries() {
    for (int i = 0; i < TransitionCatalogue::kCount; ++i) {
        const bool wipe = i >= TransitionCatalogue::kFirstWipe;
        const TransitionEntry& e = TransitionCatalogue::entry(i);
        if (e.maskNum.has_value() != wipe) return false;
        if ((e.effectClass == kSmpteWipeClass) != wipe) return false;
    }
    return true;
}

constexpr bool classIdentifiersAreWellFormed() {
    for (int i = 1; i < TransitionCatalogue::kCount; ++i) {
        std::string_view id = TransitionCatalogue::effectClass(i);
        if (id.size() != 38 || id.front() != '{' || id.back() != '}') return false;
        for (int j = 1; j < TransitionCatalogue::kFirstWipe; ++j)
            if (j != i && TransitionCatalogue::effectClass(j) == id) return false;
    }
    return true;
}

constexpr bool namesDifferOnlyWhereIntended() {
    for (int i = 0; i < TransitionCatalogue::kCount; ++i) {
        const bool same = TransitionCatalogue::menuName(i) == TransitionCatalogue::listName(i);
        if (same == (i == 23 || i == 24)) return false;
    }
    return true;
}

static_assert(TransitionCatalogue::kCount == static_cast<int>(kTransitionEntries.size()));
static_assert(TransitionCatalogue::menuName(0) == "None" && !TransitionCatalogue::hasEffect(0));
static_assert(wipesAreExactlyTheMaskedEntries());
static_assert(classIdentifiersAreWellFormed());
static_assert(namesDifferOnlyWhereIntended());

}  // namespace
}  // namespace timeline
