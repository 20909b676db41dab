// One automatable parameter: its kind, range, plain value and how the value
// is shown to the user and the host. The plain value always stays within
// min..max; the host sees it normalized to 0..1.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kettrix {

// Longest parameter name, label or display text, in characters.
constexpr std::size_t kParamTextMax = 31;
// Size of a buffer that holds any of those texts with its terminator.
constexpr std::size_t kParamTextBufferSize = kParamTextMax + 1;

class Param {
public:
    enum class Type { None = 0, Switch = 1, Integer = 2, Enumeration = 3, Continuous = 4 };

    struct DisplayText {
        int value;
        std::string text;
    };

    Param() = default;

    // The first definition fixes the type; a later one of another kind keeps it.
    void DefineContinuous(const char* name, double defaultValue, double minValue, double maxValue, double step);
    void DefineInteger(const char* name, int defaultValue, int minValue, int maxValue);
    void DefineSwitch(const char* name, bool defaultValue);
    void AddDisplayText(int value, const char* text);

    void SetPlain(double value);
    void SetFromNormalized(double normalized);
    double Normalized() const { return Normalized(value_); }
    double Normalized(double plain) const;
    // Plain value that a normalized value maps to, before any step rounding.
    double FromNormalized(double normalized) const;

    // Writes the display text of `value` (plain, or normalized when asked) into
    // `out`, which holds kParamTextBufferSize bytes. With `allowDisplayTexts`
    // a value whose integer part has a display text shows that text.
    void FormatValue(double value, bool normalized, char* out, bool allowDisplayTexts) const;
    void FormatCurrent(char* out, bool allowDisplayTexts) const { FormatValue(value_, false, out, allowDisplayTexts); }
    // The unit for the host: empty while the current value shows a display text.
    const std::string& HostLabel() const;
    const std::string& HostName() const { return name_; }

    // The plain value typed text stands for, kept within the range: an
    // enumerated parameter's exact display text, or else a finite number at
    // the start of the text (negated where the display negates). False when
    // the text names no value: an unknown name, no number, "inf" or "nan".
    bool ValueFromText(const char* text, double* plain) const;
    // Value of the display text equal to `text`; false when none matches.
    bool ValueOfDisplayText(const char* text, double* value) const;
    // The display text for `value`, or nullptr when it has none.
    const char* DisplayTextFor(int value) const;

    Type GetType() const { return type_; }
    double Value() const { return value_; }
    int Int() const;
    bool Bool() const { return value_ >= 0.5; }
    double Min() const { return min_; }
    double Max() const { return max_; }
    double Step() const { return step_; }
    double Shape() const { return shape_; }
    double Default() const { return default_; }
    int DisplayPrecision() const { return precision_; }
    const std::string& Name() const { return name_; }
    const std::string& Label() const { return label_; }
    const std::string& Group() const { return group_; }
    bool NegateDisplay() const { return negateDisplay_; }
    const std::vector<DisplayText>& DisplayTexts() const { return displayTexts_; }

    void SetLabel(const char* label);
    void SetNegateDisplay(bool negate) { negateDisplay_ = negate; }
    void SetDisplayPrecision(int precision) { precision_ = precision; }

private:
    void FixType(Type type);

    Type type_ = Type::None;
    double value_ = 0.0;
    double min_ = 0.0;
    double max_ = 1.0;
    double step_ = 1.0;
    double shape_ = 1.0;
    double default_ = 0.0;
    int precision_ = 0;
    std::string name_;
    std::string label_;
    std::string group_;
    bool negateDisplay_ = false;
    std::vector<DisplayText> displayTexts_;
};

// Number of decimals needed to show multiples of `step` (at most 6): how
// often the step must be multiplied by 10 before it is a whole number.
int PrecisionFromStep(double step);

}  // namespace kettrix
