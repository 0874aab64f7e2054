# The editor's window: presenting the back buffer, and the running editor's idle CPU.
if(RQ700_BUILD_GUI)
  rq700_add_bench(bench_editor_present SOURCES editor_present_bench.cc LIBS rq700_editor_qt)
  rq700_add_bench(bench_editor_idle SOURCES editor_idle_bench.cc LIBS Qt6::Core)
  foreach(target bench_editor_present bench_editor_idle)
    target_compile_definitions(${target} PRIVATE RQ700_DIST_DIR="${RQ700_DIST_DIR}")
  endforeach()
endif()
