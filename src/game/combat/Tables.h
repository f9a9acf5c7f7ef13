// The numbers of the dragon's combat: volleys, the damage of enemy shots and
// items. Tables by shot type are indexed by the type itself; a type past the
// end of a table counts as 0. What hurts an enemy and what it pays is its
// kind's (core/EnemyKinds.h).
#pragma once

#include "game/core/World.h"

#include <array>
#include <string_view>

namespace Morvek::Tables {

// One fireball of a volley, relative to the dragon's centre.
struct VolleyShot {
    float dx;
    float dy;
    float speedX;
    float speedY;
};

struct Volley {
    std::uint32_t count;
    std::array<VolleyShot, 7> shots;
};

// Volleys by weapon level 1..7 (entry 0 unused); levels above 7 fire the
// last one.
constexpr std::array<Volley, 8> kVolleys{{
    {0, {}},
    {1, {{{20, 0, 15, 0}}}},
    {2, {{{20, -10, 30, 0}, {20, 10, 30, 0}}}},
    {3, {{{17.5f, -20, 30, -3}, {20, 0, 30, 0}, {17.5f, 20, 30, 3}}}},
    {3, {{{17.5f, -20, 45, -0.3f}, {20, 0, 45, 0}, {17.5f, 20, 45, 0.3f}}}},
    {4, {{{17.5f, -30, 30, -2}, {20, -10, 30, 0}, {20, 10, 30, 0}, {17.5f, 30, 30, 2}}}},
    {5,
     {{{15, -40, 45, -1},
       {17.5f, -20, 45, -0.4f},
       {20, 0, 45, 0},
       {17.5f, 20, 45, 0.4f},
       {15, 40, 45, 1}}}},
    {7,
     {{{17.5f, -40, 45, -3},
       {10, -20, 45, -1.5f},
       {30, -15, 45, 0},
       {20, 0, 45, 0},
       {30, 15, 45, 0},
       {10, 20, 45, 1.5f},
       {17.5f, 40, 45, 3}}}},
}};

constexpr const Volley& VolleyOf(std::uint32_t upgrade) {
    return kVolleys[upgrade >= 1 && upgrade < kVolleys.size() ? upgrade : kVolleys.size() - 1];
}

// By enemy shot type 0..12: health the dragon loses when it is hit.
constexpr std::array<std::int32_t, 13> kDragonDamage{0, 30, 20, 25, 10, 0, 0, 0, 0, 0, 50, 50, 50};

template <typename T, std::size_t N>
constexpr T ByType(const std::array<T, N>& table, std::uint32_t type) {
    return type < N ? table[type] : T{};
}

// What picking up an item does to one of the dragon's stocks: below `limit`
// the stock grows by `step`, otherwise it becomes `otherwise` (or, when
// `keep` is set, stays as it is). A limit of 0 means no limit.
enum class Stock { health, magic, upgrade, special, lives };

struct ItemKind {
    std::string_view text;
    Stock stock;
    std::int32_t step;
    std::int32_t limit;
    std::int32_t otherwise;
    bool keep;
};

// Item kinds 1..5 are the rows of `items`; row 0 is unused.
constexpr std::array<ItemKind, kItemKinds + 1> kItems{{
    {"", Stock::health, 0, 0, 0, true},
    {"Health+", Stock::health, 50, 50, 100, false},
    {"Magic+", Stock::magic, 50, 50, 100, false},
    {"Upgrade+", Stock::upgrade, 1, 0, 0, true},
    {"Special+", Stock::special, 1, 5, 0, true},
    {"Life+", Stock::lives, 1, 4, 0, true},
}};

// A destroyed enemy's drop: draws made in this order, each only if all
// earlier ones failed; a draw succeeds when it comes up kDropHit.
struct DropDraw {
    std::uint32_t max;
    std::uint32_t kind;
};
constexpr std::uint32_t kDropHit = 5;
constexpr std::array<DropDraw, 5> kDropDraws{{{23, 5}, {18, 3}, {13, 4}, {11, 1}, {8, 2}}};

} // namespace Morvek::Tables
