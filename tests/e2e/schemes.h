#pragma once

// The colour schemes yg_scheme.exe switches a running program to, and how it talks to its hook
// inside that program (yg_scheme_hook.dll).

#include <windows.h>

#include <span>

namespace yg::tools {

inline constexpr wchar_t kSwitchSchemeMessage[] = L"YgSwitchScheme";  // wParam: the scheme's number
inline constexpr wchar_t kSwitchedEvent[] = L"YgSchemeSwitched";
inline constexpr wchar_t kFailedEvent[] = L"YgSchemeFailed";

inline constexpr int kColourCount = COLOR_MENUBAR + 1;

struct SchemeColour {
  int index;  // COLOR_*
  COLORREF colour;
};

// Windows' "High Contrast Black": light text on black.
inline constexpr SchemeColour kHighContrastBlack[] = {
    {COLOR_SCROLLBAR, RGB(0, 0, 0)},          {COLOR_BACKGROUND, RGB(0, 0, 0)},
    {COLOR_ACTIVECAPTION, RGB(128, 0, 128)},  {COLOR_INACTIVECAPTION, RGB(0, 128, 0)},
    {COLOR_MENU, RGB(0, 0, 0)},               {COLOR_WINDOW, RGB(0, 0, 0)},
    {COLOR_WINDOWFRAME, RGB(255, 255, 255)},  {COLOR_MENUTEXT, RGB(255, 255, 255)},
    {COLOR_WINDOWTEXT, RGB(255, 255, 255)},   {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
    {COLOR_ACTIVEBORDER, RGB(255, 255, 0)},   {COLOR_INACTIVEBORDER, RGB(0, 128, 0)},
    {COLOR_APPWORKSPACE, RGB(0, 0, 0)},       {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
    {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},      {COLOR_BTNFACE, RGB(0, 0, 0)},
    {COLOR_BTNSHADOW, RGB(128, 128, 128)},    {COLOR_GRAYTEXT, RGB(63, 242, 63)},
    {COLOR_BTNTEXT, RGB(255, 255, 255)},      {COLOR_INACTIVECAPTIONTEXT, RGB(255, 255, 255)},
    {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)}, {COLOR_3DDKSHADOW, RGB(192, 192, 192)},
    {COLOR_3DLIGHT, RGB(255, 255, 255)},      {COLOR_INFOTEXT, RGB(255, 255, 255)},
    {COLOR_INFOBK, RGB(0, 0, 0)},             {COLOR_HOTLIGHT, RGB(255, 255, 0)},
    {COLOR_GRADIENTACTIVECAPTION, RGB(128, 0, 128)}, {COLOR_GRADIENTINACTIVECAPTION, RGB(0, 128, 0)},
    {COLOR_MENUHILIGHT, RGB(128, 0, 128)},    {COLOR_MENUBAR, RGB(0, 0, 0)},
};

// Windows' "High Contrast White": black text on white.
inline constexpr SchemeColour kHighContrastWhite[] = {
    {COLOR_SCROLLBAR, RGB(255, 255, 255)},    {COLOR_BACKGROUND, RGB(255, 255, 255)},
    {COLOR_ACTIVECAPTION, RGB(0, 0, 0)},      {COLOR_INACTIVECAPTION, RGB(255, 255, 255)},
    {COLOR_MENU, RGB(255, 255, 255)},         {COLOR_WINDOW, RGB(255, 255, 255)},
    {COLOR_WINDOWFRAME, RGB(0, 0, 0)},        {COLOR_MENUTEXT, RGB(0, 0, 0)},
    {COLOR_WINDOWTEXT, RGB(0, 0, 0)},         {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
    {COLOR_ACTIVEBORDER, RGB(128, 128, 128)}, {COLOR_INACTIVEBORDER, RGB(192, 192, 192)},
    {COLOR_APPWORKSPACE, RGB(128, 128, 128)}, {COLOR_HIGHLIGHT, RGB(55, 0, 110)},
    {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)}, {COLOR_BTNFACE, RGB(255, 255, 255)},
    {COLOR_BTNSHADOW, RGB(128, 128, 128)},    {COLOR_GRAYTEXT, RGB(96, 0, 0)},
    {COLOR_BTNTEXT, RGB(0, 0, 0)},            {COLOR_INACTIVECAPTIONTEXT, RGB(0, 0, 0)},
    {COLOR_BTNHIGHLIGHT, RGB(0, 0, 0)},       {COLOR_3DDKSHADOW, RGB(0, 0, 0)},
    {COLOR_3DLIGHT, RGB(192, 192, 192)},      {COLOR_INFOTEXT, RGB(0, 0, 0)},
    {COLOR_INFOBK, RGB(255, 255, 255)},       {COLOR_HOTLIGHT, RGB(0, 0, 159)},
    {COLOR_GRADIENTACTIVECAPTION, RGB(0, 0, 0)}, {COLOR_GRADIENTINACTIVECAPTION, RGB(255, 255, 255)},
    {COLOR_MENUHILIGHT, RGB(55, 0, 110)},     {COLOR_MENUBAR, RGB(255, 255, 255)},
};

// An ordinary scheme, no high contrast, with red button text.
inline constexpr SchemeColour kRuby[] = {
    {COLOR_BTNFACE, RGB(240, 230, 230)},
    {COLOR_BTNTEXT, RGB(192, 0, 0)},
};

struct Scheme {
  const wchar_t* name;
  bool highContrast;
  std::span<const SchemeColour> colours;  // over the colours the program started with
};

// Scheme 0 is the program's own colours, as it started with; the others follow.
inline constexpr Scheme kSchemes[] = {
    {L"dark", true, kHighContrastBlack},
    {L"light", true, kHighContrastWhite},
    {L"ruby", false, kRuby},
};

inline const Scheme* SchemeAt(int number) {
  return number >= 1 && number <= static_cast<int>(std::size(kSchemes)) ? &kSchemes[number - 1] : nullptr;
}

}  // namespace yg::tools
