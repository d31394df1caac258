#include "dragdrop/DropEffects.h"

namespace plx {

namespace {

constexpr TDropEffect kMembersByBit[] = {deCopy, deMove, deLink};

const char* EffectName(TDropEffect effect) {
  switch (effect) {
    case deNone: return "deNone";
    case deCopy: return "deCopy";
    case deMove: return "deMove";
    case deLink: return "deLink";
    case deScroll: return "deScroll";
  }
  return "";
}

}  // namespace

TDropEffects setFromDropEffect(TDropEffectValue value) {
  if (value == kDropEffectNone) return {deNone};
  TDropEffects effects;
  for (TDropEffect member : kMembersByBit) {
    if (value & dropEffectFromEnum(member)) effects.Include(member);
  }
  return effects;
}

TDropEffectValue dropEffectFromEnum(TDropEffect effect) {
  if (effect == deNone) return kDropEffectNone;
  return TDropEffectValue{1} << (static_cast<unsigned>(effect) - 1);
}

TDropEffectValue dropEffectFromSet(TDropEffects effects) {
  TDropEffectValue value = 0;
  for (TDropEffect member : {deCopy, deMove, deLink, deScroll}) {
    if (effects.Contains(member)) value |= dropEffectFromEnum(member);
  }
  return value;
}

TDropEffect singleEffectFromSet(TDropEffects effects) {
  for (TDropEffect member : {deNone, deCopy, deMove, deLink, deScroll}) {
    if (effects.Contains(member)) return member;
  }
  return deNone;
}

TDropEffect EnumFromDropEffect(TDropEffectValue value) {
  if (value == kDropEffectNone) return deNone;
  if (value & kDropEffectLink) return deLink;
  if (value & kDropEffectMove) return deMove;
  return deCopy;
}

std::string stringFromDropEffects(TDropEffects effects) {
  std::string text = "[";
  for (TDropEffect member : {deNone, deCopy, deMove, deLink, deScroll}) {
    if (!effects.Contains(member)) continue;
    if (text.size() > 1) text += ',';
    text += EffectName(member);
  }
  return text + "]";
}

TDropEffectValue OleStdGetDropEffect(std::uint32_t keyState) {
  const bool control = (keyState & kKeyControl) != 0;
  const bool shift = (keyState & kKeyShift) != 0;
  if (control && shift) return kDropEffectLink;
  if (control) return kDropEffectCopy;
  if (shift) return kDropEffectMove;
  return kDropEffectNone;
}

TDropEffectValue QueryDropEffect(bool acceptable, std::uint32_t keyState, TDropEffectValue allowed,
                                 bool linkPossible) {
  if (!acceptable) return kDropEffectNone;
  if (!linkPossible) allowed &= ~kDropEffectLink;
  const TDropEffectValue wanted = OleStdGetDropEffect(keyState);
  if (wanted == kDropEffectNone) {
    for (TDropEffectValue effect : {kDropEffectMove, kDropEffectCopy, kDropEffectLink}) {
      if (allowed & effect) return effect;
    }
    return kDropEffectNone;
  }
  return (allowed & wanted) ? wanted : kDropEffectNone;
}

TDropEffect ReportedDropEffect(TDropEffectValue proposed, const TOverrideDropEffect& overrides,
                               TDropEffects offered) {
  TDropEffect effect = singleEffectFromSet(setFromDropEffect(proposed));
  effect = overrides[static_cast<std::size_t>(effect)];
  return offered.Contains(effect) ? effect : deNone;
}

}  // namespace plx
