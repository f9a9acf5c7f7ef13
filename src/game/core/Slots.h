// The slot ranges of the world's tables, and a walk over their slot numbers.
// A table [1..N] keeps the game's own slot numbers, so it holds N + 1 entries
// and entry 0 is never used. The walk hands out the numbers, not the entries,
// since most callers pass the number on (DamageEnemy(i, ...)). The loops test
// `state` themselves: a walk that skipped free slots compiled to a nested loop.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace Morvek {

inline constexpr std::uint32_t kEnemySlots = 100;
inline constexpr std::uint32_t kBulletSlots = 100;
// A boss's area attack (storm, breeze, flame) stands in the last bullet slot.
inline constexpr std::uint32_t kAreaSlot = kBulletSlots;
// ... as a bullet of this type, which no ordinary shot has.
inline constexpr std::uint32_t kAreaType = 20;
inline constexpr std::uint32_t kIcicleSlots = 20;
inline constexpr std::uint32_t kFireballSlots = 10;
inline constexpr std::uint32_t kExplosionSlots = 25;
// The items table has a row per item kind, and a last row that the wind
// fight's two clouds borrow.
inline constexpr std::uint32_t kItemKinds = 5;
inline constexpr std::uint32_t kCloudRow = kItemKinds + 1;
inline constexpr std::uint32_t kClouds = 2;
inline constexpr std::uint32_t kItemSlots = 10;
inline constexpr std::uint32_t kScorePlaces = 10;
// The score table's row below its places: the result whose name is entered.
inline constexpr std::uint32_t kResultPlace = kScorePlaces + 1;
// Difficulties of the last waves, newest in entry 0: the table is [0..50].
inline constexpr std::uint32_t kDifficultyHistory = 50;

// A table of slots [1..N].
template <typename T, std::uint32_t N> using SlotTable = std::array<T, std::size_t{N} + 1>;

// The slot numbers first..last in order; none when last < first.
class SlotRange {
  public:
    class Iterator {
      public:
        constexpr explicit Iterator(std::uint32_t i) : i_(i) {}
        constexpr std::uint32_t operator*() const { return i_; }
        constexpr Iterator& operator++() {
            ++i_;
            return *this;
        }
        constexpr bool operator==(const Iterator&) const = default;

      private:
        std::uint32_t i_;
    };

    constexpr SlotRange(std::uint32_t first, std::uint32_t last)
        : first_(first), end_(last < first ? first : last + 1) {}
    constexpr Iterator begin() const { return Iterator(first_); }
    constexpr Iterator end() const { return Iterator(end_); }

  private:
    std::uint32_t first_;
    std::uint32_t end_;
};

constexpr SlotRange Slots(std::uint32_t first, std::uint32_t last) {
    return SlotRange(first, last);
}

// Every slot of a table [1..N]: 1..N.
template <typename T, std::size_t Size> constexpr SlotRange Slots(const std::array<T, Size>&) {
    static_assert(Size >= 1, "a slot table keeps entry 0 unused");
    return SlotRange(1, static_cast<std::uint32_t>(Size - 1));
}

// Whether a slot is taken: every slot says so by its `state`.
template <typename Slot> constexpr bool Used(const Slot& slot) {
    return slot.state;
}

// How many slots of a table [1..N] are in use.
template <typename T, std::size_t Size>
constexpr std::uint32_t CountUsed(const std::array<T, Size>& table) {
    std::uint32_t n = 0;
    for (const std::uint32_t i : Slots(table)) {
        n += Used(table[i]) ? 1 : 0;
    }
    return n;
}

} // namespace Morvek
