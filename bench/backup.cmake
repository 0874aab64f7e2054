# Backup and restore against the paced virtual device, as a ratio to their wire time.
rq700_add_bench(bench_backup SOURCES backup_bench.cc LIBS rq700_files rq700_emulator)
