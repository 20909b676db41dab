#include "editor/MenuContents.h"

namespace kettrix::editor {

const settings::Setting* settingOf(Menu menu) {
    switch (menu) {
        case Menu::None:
            return nullptr;
        case Menu::OscillatorType:
            return &settings::kOscillatorType;
        case Menu::FilterType:
            return &settings::kFilterType;
        case Menu::HitType:
            return &settings::kHitType;
        case Menu::NoiseType:
            return &settings::kNoiseType;
        case Menu::EnvelopeMode:
            return &settings::kEnvelopeMode;
        case Menu::AttackShapeVolume:
            return &settings::kAttackShapeVolume;
        case Menu::AttackShapeModulation:
            return &settings::kAttackShapeModulation;
        case Menu::ReleaseShape:
            return &settings::kReleaseShape;
        case Menu::EffectType:
            return &settings::kEffectType;
        case Menu::OutputChannel:
            return &settings::kOutput;
        case Menu::Choke:
            return &settings::kChoke;
        case Menu::KeyboardMode:
            return &settings::kKeyboardMode;
        case Menu::Patch:
            return &settings::kPatch;
    }
    return nullptr;
}

bool isCountedMenuString(std::string_view text) {
    return !text.starts_with(marker::kSubmenu) && text != marker::kEndSubmenu;
}

std::vector<std::string> menuStrings(Menu menu) {
    const settings::Setting* setting = settingOf(menu);
    if (setting == nullptr) return {};
    std::vector<std::string> out;
    // A submenu is a run of entries naming the same header.
    std::string_view open;
    for (const settings::Entry& e : setting->entries) {
        const std::string_view submenu = e.submenu != nullptr ? e.submenu : "";
        if (submenu != open) {
            if (!open.empty()) out.emplace_back(marker::kEndSubmenu);
            if (!submenu.empty()) out.push_back(std::string(marker::kSubmenu) + e.submenu);
            open = submenu;
        }
        switch (e.kind) {
            case settings::EntryKind::Value:
                out.emplace_back(e.name);
                break;
            case settings::EntryKind::Separator:
                out.emplace_back(marker::kSeparator);
                break;
            case settings::EntryKind::Command:
                out.push_back(std::string(marker::kCloses) + e.name);
                break;
        }
    }
    if (!open.empty()) out.emplace_back(marker::kEndSubmenu);
    return out;
}

}  // namespace kettrix::editor
