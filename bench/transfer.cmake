# The transfers into the user slots and the preset import against the paced virtual device.
rq700_add_bench(bench_transfer SOURCES ${CMAKE_CURRENT_LIST_DIR}/transfer_bench.cc
                LIBS rq700_files rq700_emulator rq700_protocol)
