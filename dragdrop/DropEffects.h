#pragma once
// Drop effects: the enumeration and set forms used by the drop targets, their
// conversions to and from OLE's DROPEFFECT bits, and the rules that pick the
// effect reported for a drag. Platform-neutral: the DROPEFFECT and MK_ values
// are OLE's, restated here.

#include <array>
#include <cstdint>
#include <string>

#include "dragdrop/EnumSet.h"

namespace plx {

enum class TDropEffect : std::uint8_t { deNone, deCopy, deMove, deLink, deScroll };
using enum TDropEffect;
using TDropEffects = TEnumSet<TDropEffect>;

// OLE's DROPEFFECT bit values and key-state bits.
using TDropEffectValue = std::uint32_t;
inline constexpr TDropEffectValue kDropEffectNone = 0;
inline constexpr TDropEffectValue kDropEffectCopy = 1;
inline constexpr TDropEffectValue kDropEffectMove = 2;
inline constexpr TDropEffectValue kDropEffectLink = 4;
inline constexpr TDropEffectValue kDropEffectScroll = 0x80000000u;
inline constexpr std::uint32_t kKeyShift = 4;    // MK_SHIFT
inline constexpr std::uint32_t kKeyControl = 8;  // MK_CONTROL

// Maps the effect a drag proposes to the effect reported, per member.
using TOverrideDropEffect = std::array<TDropEffect, 5>;
inline constexpr TOverrideDropEffect kIdentityDropEffects{deNone, deCopy, deMove, deLink, deScroll};

// 0 gives [deNone]; otherwise the members whose bits 1, 2, 4 are set (other
// bits, the scroll flag among them, are ignored).
TDropEffects setFromDropEffect(TDropEffectValue value);
// deNone gives 0, otherwise 1 << (ordinal - 1): deScroll gives 8.
TDropEffectValue dropEffectFromEnum(TDropEffect effect);
// The OR over the members deCopy to deScroll.
TDropEffectValue dropEffectFromSet(TDropEffects effects);
// The member of lowest ordinal; deNone for the empty set.
TDropEffect singleEffectFromSet(TDropEffects effects);
// The member of the highest of bits 1, 2, 4 that is set; deCopy when the
// value is not 0 but none of them is.
TDropEffect EnumFromDropEffect(TDropEffectValue value);
// "[deCopy,deMove]".
std::string stringFromDropEffects(TDropEffects effects);

// The effect the modifier keys ask for: none 0, Shift MOVE, Ctrl COPY,
// Ctrl+Shift LINK.
TDropEffectValue OleStdGetDropEffect(std::uint32_t keyState);

// The effect query of a drop target: the effect to propose for a drag whose
// source allows `allowed`, or kDropEffectNone to refuse. Without modifier keys
// the strongest allowed of MOVE, COPY, LINK is proposed; with keys only the
// effect they ask for. linkPossible false (the picture target) never proposes
// or accepts LINK.
TDropEffectValue QueryDropEffect(bool acceptable, std::uint32_t keyState, TDropEffectValue allowed,
                                 bool linkPossible = true);

// The effect reporting after the query: the proposed effect's single member,
// mapped through the overrides, kept only when the source offered it.
TDropEffect ReportedDropEffect(TDropEffectValue proposed, const TOverrideDropEffect& overrides,
                               TDropEffects offered);

}  // namespace plx
