#pragma once
// What a parameter's one-line text entry lets through and what its text means, the same on every
// platform: the platform class draws the entry and collects the keys, these rules decide.

class IParam;

// Whether a typed character may go into an entry for param (backspace is handled by the entry
// itself). Without a parameter every printable character passes; boolean, integer and enumeration
// parameters take "+", "-" and digits, double parameters also ".".
bool TextEntryAccepts(const IParam* param, char c);

// The normalised value a committed text stands for: for booleans and enumerations the value
// whose display text equals it (0 when none does), for the others the decimal number, negated
// when the parameter shows its values negated; clamped into the parameter's range.
double TextEntryNormalizedValue(const IParam& param, const char* text);
