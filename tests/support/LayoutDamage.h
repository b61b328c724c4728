#pragma once
#include <string>
#include <vector>

// The ways a window or view file was found damaged: every integer at the
// largest or smallest 32-bit value, every size -1000, every place far off
// the screen, integers that are no numbers, counts at their largest, texts
// nested 100,000 deep, junk bytes, and one very long line.
enum class TLayoutDamage { huge, negative, negsize, offscreen, wrongtype, countMax, nesting, junk, longLine };

const std::vector<TLayoutDamage>& allLayoutDamages();
const char* layoutDamageName(TLayoutDamage damage);

// The text of an INI file with the damage done to every line it touches.
std::string damageLayoutText(const std::string& text, TLayoutDamage damage);
