// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed table of the 47 transitions a clip can lead in with: the names the user sees
// and the effect that draws each one. Plain data without Qt, so that the engine's tests
// and tools can use it as well as the dialogs and the clip list.
#include <array>
#include <optional>
#include <string_view>

namespace timeline {

struct TransitionEntry {
    std::string_view menuName;     // the transition drop-down lists
    std::string_view listName;     // the clip list's transition column
    std::string_view effectClass;  // class identifier with braces; empty for "None"
    std::optional<int> maskNum;    // wipe pattern ("MaskNum") of the SMPTE wipe entries
};

inline constexpr std::string_view kSmpteWipeClass = "{DE75D012-7A65-11D2-8CEA-00A0C9441E20}";

namespace detail {
constexpr TransitionEntry transform(std::string_view name, std::string_view cls) {
    return {name, name, cls, std::nullopt};
}
constexpr TransitionEntry wipe(std::string_view menu, std::string_view list, int mask) {
    return {menu, list, kSmpteWipeClass, mask};
}
constexpr TransitionEntry wipe(std::string_view name, int mask) {
    return wipe(name, name, mask);
}
}  // namespace detail

// Index order is the order of the drop-down lists and the value stored for each clip.
inline constexpr std::array<TransitionEntry, 47> kTransitionEntries{{
    {"None", "None", "", std::nullopt},
    detail::transform("Iris", "{049F2CE6-D996-4721-897A-DB15CE9EB73D}"),
    detail::transform("RadialWipe", "{164484A9-35D9-4FB7-9FAB-48273B96AA1D}"),
    detail::transform("Fade", "{16B280C5-EE70-11D1-9066-00C04FD9189D}"),
    detail::transform("ZigZag", "{23E26328-3928-40F2-95E5-93CAD69016EB}"),
    detail::transform("RandomBars", "{2E7700B7-27C4-437F-9FBF-1E8BE2817566}"),
    detail::transform("Spiral", "{4A03DCB9-6E17-4A39-8845-4EE7DC5331A5}"),
    detail::transform("Pixelate", "{4CCEA634-FBE0-11D1-906A-00C04FD9189D}"),
    detail::transform("Wheel", "{5AE1DAE0-1461-11D2-A484-00C04F8EFB69}"),
    detail::transform("Strips", "{63A4B1FC-259A-4A5B-8129-A83B8C9E6F4F}"),
    detail::transform("Inset", "{76F363F2-7E9F-4ED7-A6A7-EE30351B6628}"),
    detail::transform("Blinds", "{9A4A4A51-FB3A-4F4B-9B57-A2912A289769}"),
    detail::transform("Wipe", "{AF279B30-86EB-11D1-81BF-0000F87557DB}"),
    detail::transform("CheckerBoard", "{B3EE7802-8224-4787-A1EA-F0DE16DEABD3}"),
    detail::transform("Slide", "{D1C5A1E7-CC47-4E32-BDD2-4B3C5FC50AF5}"),
    detail::transform("Stretch", "{F088DE73-BDD0-4E3C-81F8-6D32F4FE9D28}"),
    detail::transform("RandomDissolve", "{F7F4A1B6-8E87-452F-A2D7-3077F508DBC0}"),
    detail::wipe("Horizontal", 1),
    detail::wipe("Vertical", 2),
    detail::wipe("Four corners", 7),
    detail::wipe("Barn doors, horizontal", 22),
    detail::wipe("Diagonal, NW to SE", 41),
    detail::wipe("Triangles, top/bottom", 43),
    detail::wipe("left/right", "Triangles, left/right", 44),
    detail::wipe("stripe, SW to NE", "Diagonal stripe, SW to NE", 45),
    detail::wipe("Cross", 47),
    detail::wipe("Diamond Box", 48),
    detail::wipe("Wedge, top", 61),
    detail::wipe("Wedge, left", 64),
    detail::wipe("Sawtooth, left", 71),
    detail::wipe("Sawtooth, top", 72),
    detail::wipe("Sawtooth, vertical", 73),
    detail::wipe("Sawtooth, horizontal", 74),
    detail::wipe("Box", 101),
    detail::wipe("Diamond", 102),
    detail::wipe("Hexagon", 113),
    detail::wipe("Circle", 119),
    detail::wipe("Oval, horizontal", 120),
    detail::wipe("Rounded rectangle, horizontal", 124),
    detail::wipe("4-point star", 127),
    detail::wipe("5-point star", 128),
    detail::wipe("Heart", 130),
    detail::wipe("Radial, left", 224),
    detail::wipe("Radial, top split", 231),
    detail::wipe("Radial, top-right corner", 244),
    detail::wipe("Center radial, top", 251),
    detail::wipe("Matrix, horizontal", 301),
}};

class TransitionCatalogue {
public:
    static constexpr int kCount = 47;
    static constexpr int kNone = 0;
    static constexpr int kFirstWipe = 17;  // entries 17 to 46 are SMPTE wipe patterns

    static constexpr bool isValidIndex(int index) { return index >= 0 && index < kCount; }

    // The entry of `index`. An index outside the table (a damaged settings value or project)
    // is shown as "Horizontal" and runs the SMPTE wipe with its own default pattern.
    static constexpr const TransitionEntry& entry(int index) {
        return isValidIndex(index) ? kTransitionEntries[static_cast<std::size_t>(index)]
                                   : kOutOfRange;
    }
    static constexpr std::string_view menuName(int index) { return entry(index).menuName; }
    static constexpr std::string_view listName(int index) { return entry(index).listName; }
    static constexpr std::string_view effectClass(int index) { return entry(index).effectClass; }
    static constexpr std::optional<int> maskNum(int index) { return entry(index).maskNum; }
    // True when the clip gets a transition object at all (every index but 0).
    static constexpr bool hasEffect(int index) { return !entry(index).effectClass.empty(); }

private:
    static constexpr TransitionEntry kOutOfRange{"Horizontal", "Horizontal", kSmpteWipeClass,
                                                 std::nullopt};
};

}  // namespace timeline
