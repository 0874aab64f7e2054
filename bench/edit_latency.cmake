# Edit-to-device latency: the editor's link against the unpaced virtual device.
rq700_add_bench(bench_edit_latency SOURCES ${CMAKE_CURRENT_LIST_DIR}/edit_latency_bench.cc
                LIBS rq700_protocol rq700_emulator)
