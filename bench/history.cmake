# The editor's undo history: what it adds to each mouse move, and an undo with its redo.
rq700_add_bench(bench_edit_history SOURCES edit_history_bench.cc LIBS rq700_editor)
