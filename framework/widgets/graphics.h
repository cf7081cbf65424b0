// Colours and fonts as forms and controls store them.
#pragma once

#include <QColor>
#include <QFont>
#include <cstdint>
#include <functional>
#include <string>

#include "component.h"

// 0x00BBGGRR, or a system colour (high byte 0x80) that follows the desktop's palette.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clWindowText = 0x80000008;

QColor ToQColor(TColor color);

// A font by name and character height. Height is negative for the height of the characters in
// pixels (as stored layouts give it), positive for the height of the whole cell.
class TFont : public TObject {
public:
    TFont();

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    int Height() const { return height_; }
    void SetHeight(int height);
    // Points at 96 pixels per inch: 8 points is a height of -11.
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // The installed font that comes closest: the named one, else a sans-serif of similar width.
    QFont ToQFont() const;

    // Called after every change.
    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    void Changed();

    std::string name_;
    int height_;
    TColor color_;
    std::function<void()> onChange_;
};
