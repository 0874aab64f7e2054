rq700_add_bench(bench_emulator SOURCES emulator_bench.cc LIBS rq700_emulator)
