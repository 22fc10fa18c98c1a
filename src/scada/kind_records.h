#pragma once
// The record type and page-model table behind each element kind, as one
// visitor, so that generic code (reset, slot flags, copying, hit tests,
// snapshots, checks) iterates the kinds instead of listing them.
//
//   visitKind(kind, f)   calls f(KindTag<K>) for the kind named at run time;
//   forEachKind(f)       calls f(KindTag<K>) for every kind in ObjectKind order.
//
// KindTag<K>::Record is the record type, KindTag<K>::record(pages, p, n) the
// record of (K, page p, number n) (the graph and clock ignore n and live at
// position p + 1), KindTag<K>::table(pages) the whole table.
#include "scada/element_kinds.h"
#include "scada/scada_pages.h"

#include <type_traits>
#include <utility>
#include <variant>

namespace ostrel {

template <ObjectKind K> struct KindTable;
template <> struct KindTable<ObjectKind::Parametr> { static constexpr auto member = &ScadaPages::parametr; };
template <> struct KindTable<ObjectKind::Signal> { static constexpr auto member = &ScadaPages::signal; };
template <> struct KindTable<ObjectKind::TextSignal> { static constexpr auto member = &ScadaPages::text_signal; };
template <> struct KindTable<ObjectKind::Level> { static constexpr auto member = &ScadaPages::level; };
template <> struct KindTable<ObjectKind::GoBlock> { static constexpr auto member = &ScadaPages::go_block; };
template <> struct KindTable<ObjectKind::Figura> { static constexpr auto member = &ScadaPages::figura; };
template <> struct KindTable<ObjectKind::Vent> { static constexpr auto member = &ScadaPages::vent; };
template <> struct KindTable<ObjectKind::Text> { static constexpr auto member = &ScadaPages::text; };
template <> struct KindTable<ObjectKind::Control> { static constexpr auto member = &ScadaPages::control; };
template <> struct KindTable<ObjectKind::Menu> { static constexpr auto member = &ScadaPages::menu; };
template <> struct KindTable<ObjectKind::Grafik> { static constexpr auto member = &ScadaPages::grafik; };
template <> struct KindTable<ObjectKind::Clock> { static constexpr auto member = &ScadaPages::clock; };

namespace kind_detail {
template <ObjectKind K> using TableType = std::remove_cvref_t<decltype(std::declval<ScadaPages&>().*KindTable<K>::member)>;
template <ObjectKind K, bool Numbered = kindInfo(K).numbered()> struct RecordOf {
    using type = typename TableType<K>::value_type::value_type;
};
template <ObjectKind K> struct RecordOf<K, false> {
    using type = typename TableType<K>::value_type;
};
} // namespace kind_detail

template <ObjectKind K> struct KindTag {
    static constexpr ObjectKind kind = K;
    using Record = typename kind_detail::RecordOf<K>::type;
    static constexpr const ElementKindInfo& info() { return kindInfo(K); }

    template <class Pages> static auto& table(Pages& s) { return s.*KindTable<K>::member; }
    // No bounds check: callers pass a valid slot (isValidRef, validSlot).
    template <class Pages> static auto& record(Pages& s, size_t p, size_t n)
    {
        if constexpr (kindInfo(K).numbered())
            return table(s)[p][n];
        else
            return table(s)[p + 1];
    }
};

template <class F> decltype(auto) visitKind(ObjectKind kind, F&& f)
{
    switch (kind) {
    case ObjectKind::Parametr: return f(KindTag<ObjectKind::Parametr>{});
    case ObjectKind::Signal: return f(KindTag<ObjectKind::Signal>{});
    case ObjectKind::TextSignal: return f(KindTag<ObjectKind::TextSignal>{});
    case ObjectKind::Level: return f(KindTag<ObjectKind::Level>{});
    case ObjectKind::GoBlock: return f(KindTag<ObjectKind::GoBlock>{});
    case ObjectKind::Figura: return f(KindTag<ObjectKind::Figura>{});
    case ObjectKind::Vent: return f(KindTag<ObjectKind::Vent>{});
    case ObjectKind::Text: return f(KindTag<ObjectKind::Text>{});
    case ObjectKind::Control: return f(KindTag<ObjectKind::Control>{});
    case ObjectKind::Menu: return f(KindTag<ObjectKind::Menu>{});
    case ObjectKind::Grafik: return f(KindTag<ObjectKind::Grafik>{});
    case ObjectKind::Clock: break;
    }
    return f(KindTag<ObjectKind::Clock>{});
}

namespace kind_detail {
template <class F, size_t... I> void forEach(F& f, std::index_sequence<I...>)
{
    (f(KindTag<ObjectKind(I)>{}), ...);
}
template <size_t... I> std::variant<typename KindTag<ObjectKind(I)>::Record...> anyRecord(std::index_sequence<I...>);
template <class T, size_t... I> constexpr ObjectKind kindOf(std::index_sequence<I...>)
{
    ObjectKind found = ObjectKind::Parametr;
    ((std::is_same_v<T, typename KindTag<ObjectKind(I)>::Record> ? (found = ObjectKind(I), 0) : 0), ...);
    return found;
}
} // namespace kind_detail

template <class F> void forEachKind(F&& f)
{
    kind_detail::forEach(f, std::make_index_sequence<kObjectKinds>{});
}

// Any element record, by value.
using AnyRecord = decltype(kind_detail::anyRecord(std::make_index_sequence<kObjectKinds>{}));

// The kind of a record type.
template <class T> inline constexpr ObjectKind kKindOfRecord =
    kind_detail::kindOf<std::decay_t<T>>(std::make_index_sequence<kObjectKinds>{});

} // namespace ostrel
