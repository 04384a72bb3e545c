# SPDX-License-Identifier: GPL-3.0-or-later
"""The example notebook runs from top to bottom against the built module, so it cannot rot."""

import json
import os
import subprocess
from pathlib import Path

NOTEBOOK = Path(os.environ["TAMRISK_SOURCE_DIR"]) / "examples" / "tamrisk.ipynb"


def test_the_example_notebook_runs(tmp_path):
    before = NOTEBOOK.read_bytes()
    environment = dict(os.environ, MPLBACKEND="Agg", PYDEVD_DISABLE_FILE_VALIDATION="1")
    done = subprocess.run(
        [os.environ["TAMRISK_JUPYTER"], "nbconvert", "--to", "notebook", "--execute", str(NOTEBOOK),
         "--output-dir", str(tmp_path), "--output", "executed"],
        capture_output=True, text=True, env=environment, cwd=tmp_path, timeout=300, check=False)
    assert done.returncode == 0, done.stderr[-3000:]
    executed = json.loads((tmp_path / "executed.ipynb").read_text(encoding="utf-8"))
    code = [cell for cell in executed["cells"] if cell["cell_type"] == "code"]
    assert code and all(cell["execution_count"] for cell in code)
    assert not any(output["output_type"] == "error" for cell in code for output in cell["outputs"])
    # The run wrote to the temporary folder only; the stored notebook keeps no outputs.
    assert NOTEBOOK.read_bytes() == before
    stored = json.loads(before)
    assert all(not cell.get("outputs") for cell in stored["cells"] if cell["cell_type"] == "code")
