#include "base/Param.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kettrix {

namespace {

std::string TruncatedText(const char* text) {
    if (text == nullptr) {
        return {};
    }
    return std::string(text, strnlen(text, kParamTextMax));
}

// Integer part of a value, saturated to the int range (NaN gives 0).
int TruncatedToInt(double value) {
    if (!(value == value)) {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

}  // namespace

int PrecisionFromStep(double step) {
    int precision = 0;
    double scaled = step;
    while (precision < 6 && std::isfinite(scaled) && scaled != std::floor(scaled)) {
        scaled *= 10.0;
        ++precision;
    }
    return precision;
}

void Param::FixType(Type type) {
    if (type_ == Type::None) {
        type_ = type;
    }
}

void Param::DefineContinuous(const char* name, double defaultValue, double minValue, double maxValue, double step) {
    FixType(Type::Continuous);
    name_ = TruncatedText(name);
    label_.clear();
    group_.clear();
    min_ = minValue;
    max_ = std::max(maxValue, minValue + step);
    step_ = step;
    default_ = defaultValue;
    value_ = defaultValue;
    precision_ = PrecisionFromStep(step);
}

void Param::DefineInteger(const char* name, int defaultValue, int minValue, int maxValue) {
    FixType(Type::Integer);
    DefineContinuous(name, defaultValue, minValue, maxValue, 1.0);
}

void Param::DefineSwitch(const char* name, bool defaultValue) {
    FixType(Type::Switch);
    DefineContinuous(name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0);
    AddDisplayText(0, "off");
    AddDisplayText(1, "on");
}

void Param::AddDisplayText(int value, const char* text) { displayTexts_.push_back({value, TruncatedText(text)}); }

void Param::SetLabel(const char* label) { label_ = TruncatedText(label); }

void Param::SetPlain(double value) {
    // A NaN from a host or a corrupt chunk must not reach the engine.
    if (!(value == value)) {
        value = min_;
    }
    value_ = std::clamp(value, min_, std::max(min_, max_));
}

double Param::FromNormalized(double normalized) const {
    if (!(normalized == normalized)) {
        normalized = 0.0;
    }
    normalized = std::clamp(normalized, 0.0, 1.0);
    return std::pow(normalized, shape_) * (max_ - min_) + min_;
}

void Param::SetFromNormalized(double normalized) {
    double value = FromNormalized(normalized);
    if (type_ != Type::Continuous && step_ > 0.0) {
        value = std::floor(value / step_ + 0.5) * step_;
    }
    SetPlain(std::min(value, max_));
}

double Param::Normalized(double plain) const {
    const double range = max_ - min_;
    if (!(range > 0.0)) {
        return 0.0;
    }
    if (!(plain == plain)) {
        plain = min_;
    }
    const double fraction = (std::clamp(plain, min_, max_) - min_) / range;
    return std::pow(fraction, 1.0 / shape_);
}

int Param::Int() const { return TruncatedToInt(value_); }

const char* Param::DisplayTextFor(int value) const {
    for (const DisplayText& entry : displayTexts_) {
        if (entry.value == value) {
            return entry.text.c_str();
        }
    }
    return nullptr;
}

bool Param::ValueOfDisplayText(const char* text, double* value) const {
    for (const DisplayText& entry : displayTexts_) {
        if (entry.text == text) {
            *value = entry.value;
            return true;
        }
    }
    return false;
}

bool Param::ValueFromText(const char* text, double* plain) const {
    if (text == nullptr || plain == nullptr) {
        return false;
    }
    double value = 0.0;
    if (!displayTexts_.empty()) {
        if (!ValueOfDisplayText(text, &value)) {
            return false;
        }
    } else {
        char* end = nullptr;
        value = std::strtod(text, &end);
        if (end == text || !std::isfinite(value)) {
            return false;
        }
        if (negateDisplay_) {
            value = -value;
        }
    }
    *plain = std::clamp(value, min_, std::max(min_, max_));
    return true;
}

void Param::FormatValue(double value, bool normalized, char* out, bool allowDisplayTexts) const {
    if (normalized) {
        value = FromNormalized(value);
    }
    if (allowDisplayTexts && !displayTexts_.empty()) {
        if (const char* text = DisplayTextFor(TruncatedToInt(value))) {
            std::snprintf(out, kParamTextBufferSize, "%s", text);
            return;
        }
    }
    if (negateDisplay_) {
        value = -value;
    }
    if (precision_ > 0) {
        std::snprintf(out, kParamTextBufferSize, "%.*f", precision_, value);
    } else {
        std::snprintf(out, kParamTextBufferSize, "%d", TruncatedToInt(value));
    }
}

const std::string& Param::HostLabel() const {
    static const std::string empty;
    const char* text = DisplayTextFor(TruncatedToInt(value_));
    if (text != nullptr && text[0] != '\0') {
        return empty;
    }
    return label_;
}

}  // namespace kettrix
