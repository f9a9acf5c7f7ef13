// One visitor of several lambdas, for std::visit.
#pragma once

namespace Util {

template <class... F> struct Overloaded : F... { using F::operator()...; };
// Older compilers deduce no aggregate's arguments by themselves.
template <class... F> Overloaded(F...) -> Overloaded<F...>;

} // namespace Util
