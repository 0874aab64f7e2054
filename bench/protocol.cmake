# The editor's link: edit-to-wire latency and the idle cost of the two worker threads.
rq700_add_bench(bench_protocol SOURCES ${CMAKE_CURRENT_LIST_DIR}/protocol_bench.cc LIBS rq700_protocol)
