#pragma once
// The balloon text paths: a panel of ten vertical balloons laid out for the first time, and
// repainted with its layouts cached.
namespace bench {

void RegisterTextBenchmarks();

} // namespace bench
