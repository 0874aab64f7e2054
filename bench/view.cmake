# The editor's view: one whole frame painted into the back buffer.
if(RQ700_BUILD_GUI)
  rq700_add_bench(bench_view SOURCES view_bench.cc LIBS rq700_skin Qt6::Gui)
  target_compile_definitions(bench_view PRIVATE RQ700_DIST_DIR="${RQ700_DIST_DIR}")
  add_dependencies(bench_view rq700_skin_images)
endif()
