#!/usr/bin/env bash
# Runs the list benchmark and prints each list's fill time next to a bare directory read of the
# same folder, with their ratio (the target is at most 3).
set -euo pipefail
binary=${1:-build/release/bench/bench_list_fill}
# Qt wants a private runtime folder; a bare session has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi
"$binary" --benchmark_format=json --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true >/tmp/bench_list_fill.json
python3 - <<'PY'
import json
runs = {b["name"]: b["real_time"] for b in json.load(open("/tmp/bench_list_fill.json"))["benchmarks"]
        if b["name"].endswith("_median")}
for folder, bare, fill in [("100,000 files", "BM_BareReaddir/files_median", "BM_FileListFill_median"),
                           ("10,000 folders", "BM_BareReaddir/folders_median", "BM_FolderListFill_median")]:
    print(f"{folder:>15}: readdir {runs[bare]:7.2f} ms   list {runs[fill]:7.2f} ms   ratio {runs[fill] / runs[bare]:.2f}")
PY
