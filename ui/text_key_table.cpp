// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text_key_table.h"

#include <cstring>
#include <iterator>

namespace ui {

namespace {

constexpr TextKey kTextKeys[] = {
    // Popup menu 161; a popup's id is the menu's id times 65536 plus its place among popups.
    {32777, "IDM_ABOUT"},
    {161 * 65536, "IDM_SELECT_LANGUAGE"},
    {32778, "IDM_POPUPMENU_FONT"},

    // Dialogs: 102 main window, 100 About box, 129 output options, 130 default transition,
    // 136 clip property; the ids below 1000 at the end are run-time button captions.
    {100, "IDC_BUTTON_ABOUT"},
    {1072, "IDD_PROGRAM_CAPTION"},
    {1099, "IDC_STATIC_ABOUT_NOTICE"},
    {1102, "IDC_STATIC_ABOUT_LICENCE"},
    {129, "IDD_DIALOG_OUTPUT_OPTIONS"},
    {1024, "IDC_BUTTON_BROWSE"},
    {1023, "IDC_STATIC_OUTPUT_FILE"},
    {1026, "IDC_STATIC_RESOLUTION"},
    {1068, "IDC_STATIC_FRAME_RATE"},
    {1069, "IDC_STATIC_RESIZE_MODE"},
    {1070, "IDC_STATIC_VIDEO_COMPRESSOR"},
    {1053, "IDC_BUTTON_VIDEO_CODEC_SETTINGS"},
    {1071, "IDC_STATIC_AUDIO_COMPRESSOR"},
    {1067, "IDC_STATIC_OPTIONS_NOTE"},
    {1100, "IDC_CHECK_COPY_UNCHANGED"},
    {1051, "IDC_BUTTON_OUTPUT_DEAULT"},
    {1065, "IDC_BUTTON_OPTIONS_OK"},
    {1066, "IDC_BUTTON_OPTIONS_CANCEL"},
    {1016, "IDC_BUTTON_TRANSITION_CONFIG"},
    {1019, "IDC_BUTTON_PREVIEW_VIDEO"},
    {1086, "IDC_STATIC_VIDEO_COMPRESSOR_BITRATE"},
    {1087, "IDC_STATIC_AUDIO_COMPRESSOR_BITRATE"},
    {1059, "IDC_BUTTON_HELP"},
    {1047, "IDC_BUTTON_HOMEPAGE"},
    {1042, "IDC_BUTTON_ABOUT"},
    {1058, "IDC_BUTTON_EXIT"},
    {102, "IDD_PROGRAM_CAPTION"},
    {1006, "IDC_BUTTON_ADD_VIDEO"},
    {1003, "IDC_BUTTON_OUTPUT_SETTINGS"},
    {1000, "IDC_BUTTON_CONVERT"},
    {130, "IDD_DIALOG_TRANSITION_SETTINGS"},
    {1074, "IDC_STATIC_DEFAULT_TRANSITION_DURATION"},
    {1075, "IDC_STATIC_UNIT_SECOND"},
    {1076, "IDC_STATIC_DEFAULT_TRANSITION"},
    {1013, "IDC_RADIO_RANDOM"},
    {1015, "IDC_RADIO_SEQUENCE"},
    {1014, "IDC_RADIO_SAME"},
    {1077, "IDC_BUTTON_OPTIONS_OK"},
    {1078, "IDC_BUTTON_OPTIONS_CANCEL"},
    {136, "IDD_DIALOG_CHANGE_PHOTO"},
    {1080, "IDC_STATIC_INPUT_FILE"},
    {1035, "IDC_BUTTON_BROWSE"},
    {1081, "IDC_STATIC_TRANSITION_EFFECT"},
    {1082, "IDC_STATIC_TRANSITION_DURATION"},
    {1083, "IDC_STATIC_UNIT_SECOND"},
    {1084, "IDC_BUTTON_OPTIONS_OK"},
    {1085, "IDC_BUTTON_OPTIONS_CANCEL"},
    {1096, "IDC_STATIC_OUTPUT_FORMAT"},
    {125, "IDC_BUTTON_CONVERT"},
    {124, "IDC_BUTTON_STOP"},
    {141, "IDC_BUTTON_PREVIEW_VIDEO"},
    {140, "IDC_BUTTON_TRANSITION_CONFIG"},

    // Messages and run-time texts, by string id.
    {102, "IDS_LANGUAGE_IN_ENGLISH"},
    {115, "IDS_MESSAGE_OUTPUT_FILE"},
    {116, "IDS_MESSAGE_RESOLUTION"},
    {119, "IDS_MESSAGE_OPEN_FILE"},
    {120, "IDS_MESSAGE_OPTIONS"},
    {121, "IDS_MESSAGE_CONVERT"},
    {122, "IDS_MESSAGE_NOT_OPEN_FILE"},
    {123, "IDS_MESSAGE_NO_DURATION"},
    {126, "IDS_MESSAGE_OPEN_VIDEO_FILE_TO_LIST"},
    {127, "IDS_MESSAGE_JOIN"},
    {128, "IDS_BUTTON_JOIN"},
    {129, "IDS_MESSAGE_TRANSITION_CONFIG"},
    {130, "IDS_MESSAGE_PREVIEW_VIDEO"},
    {131, "IDS_MESSAGE_FILE_EXIST"},
    {133, "IDS_BUTTON_PHOTO_UP"},
    {134, "IDS_BUTTON_PHOTO_DOWN"},
    {135, "IDS_BUTTON_DELETE"},
    {136, "IDS_BUTTON_CLEAR_ALL_PHOTO"},
    {137, "IDS_BUTTON_PHOTO_PROPERTY"},
    {138, "IDS_COLUMN_FILE_NAME"},
    {139, "IDS_COLUMN_DURATION"},
    {143, "IDS_MESSAGE_STOP_CONVERT"},
    {144, "IDS_MESSAGE_SELECT_ITEM"},
    {145, "IDS_MESSAGE_RESTART_PROGRAM"},
    {163, "IDS_MESSAGE_CONVERSION_DONE"},
    {105, "IDS_MESSAGE_ERROR"},
    {108, "IDS_MESSAGE_WARNING"},
    {110, "IDS_MESSAGE_BROWSE_CAPTION"},
    {111, "IDS_MESSAGE_ORIGINAL_SIZE"},
    {112, "IDS_MESSAGE_CUSTOM_SIZE"},
    {113, "IDS_MESSAGE_ORIGINAL_FRAME_SIZE"},
    {114, "IDS_MESSAGE_CUSTOM_FRAME_SIZE"},
    {117, "IDS_MESSAGE_PRESERVE_ASPECT_RATIO"},
    {118, "IDS_MESSAGE_RESIZE_STRETCH"},
};

constexpr bool startsWith(const char* key, const char* prefix) {
    for (; *prefix; ++key, ++prefix)
        if (*key != *prefix) return false;
    return true;
}

constexpr const char* sectionOf(const char* key) {
    if (startsWith(key, "IDS")) return "STRING";
    if (startsWith(key, "IDM") || startsWith(key, "IDR")) return "MENU";
    if (startsWith(key, "IDD") || startsWith(key, "IDC")) return "DIALOG";
    return nullptr;
}

// Within one section an id stands once, or a lookup could never reach its second row.
constexpr bool idsUniquePerSection() {
    for (std::size_t i = 0; i < std::size(kTextKeys); ++i)
        for (std::size_t j = i + 1; j < std::size(kTextKeys); ++j)
            if (kTextKeys[i].id == kTextKeys[j].id &&
                sectionOf(kTextKeys[i].key)[0] == sectionOf(kTextKeys[j].key)[0])
                return false;
    return true;
}
static_assert(idsUniquePerSection());

}  // namespace

std::span<const TextKey> textKeyTable() {
    return kTextKeys;
}

const char* sectionOfKey(const char* key) {
    return sectionOf(key);
}

}  // namespace ui
