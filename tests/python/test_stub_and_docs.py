# SPDX-License-Identifier: GPL-3.0-or-later
"""The typed stub and the docstrings follow the module: every input, column and key the module
has, and mypy --strict checks a script against the stub."""

import ast
import os
import subprocess
import sys
from pathlib import Path

import pytest

import tamrisk
from clitables import run_cli

MODULE_DIR = Path(tamrisk.__file__).parent
STUB = MODULE_DIR / "tamrisk.pyi"
HERE = Path(__file__).parent


def stub_fields(name):
    """The keys of a TypedDict class of the stub."""
    tree = ast.parse(STUB.read_text(encoding="utf-8"))
    for node in tree.body:
        if isinstance(node, ast.ClassDef) and node.name == name:
            return [item.target.id for item in node.body if isinstance(item, ast.AnnAssign)]
    raise AssertionError(f"no class {name} in the stub")


def stub_keywords(function):
    tree = ast.parse(STUB.read_text(encoding="utf-8"))
    for node in tree.body:
        if isinstance(node, ast.FunctionDef) and node.name == function:
            return [arg.arg for arg in node.args.kwonlyargs]
    raise AssertionError(f"no function {function} in the stub")


def test_the_stub_has_every_key_of_the_results(tmp_path):
    record = tmp_path / "params.json"
    record.write_text(run_cli("params"), encoding="utf-8")
    small = {"ext": (1, 2, 1), "time": (1, 2, 1)}
    assert stub_fields("Profile") == list(tamrisk.profile())
    assert stub_fields("Totals") == list(tamrisk.profile()["totals"])
    assert stub_fields("Curves") == list(tamrisk.curves())
    assert stub_fields("ScanResult") == list(tamrisk.scan(**small))
    assert stub_fields("InputValues") == list(tamrisk.inputs()) == list(tamrisk.load_record(record))


@pytest.mark.parametrize("function", ["profile", "curves", "readouts", "scan", "sweep", "save_record"])
def test_functions_take_every_input_in_the_stub_and_list_it_in_their_docstring(function):
    own = {"scan": ["ext", "time", "threads"], "sweep": ["vary", "columns", "threads", "as_frame"]}
    assert stub_keywords(function) == own.get(function, []) + list(tamrisk.inputs())
    doc = getattr(tamrisk, function).__doc__
    assert doc.startswith(function + "(")
    for name, item in tamrisk.inputs().items():
        unit = f" [{item.unit}]" if item.unit else ""
        assert f"    {name}: {item.meaning}{unit}" in doc, name


def test_every_function_has_a_docstring_and_the_version_is_the_tools():
    for name in ["inputs", "profile", "curves", "readouts", "scan", "sweep", "load_record", "save_record"]:
        assert len(getattr(tamrisk, name).__doc__) > 100, name
    assert "fit" in tamrisk.__doc__ and not hasattr(tamrisk, "fit")
    assert run_cli("--version").split()[1] == tamrisk.__version__


def mypy(tmp_path, script):
    environment = dict(os.environ, MYPYPATH=str(MODULE_DIR))
    return subprocess.run(
        [sys.executable, "-m", "mypy", "--strict", "--cache-dir", str(tmp_path / "cache"), str(script)],
        capture_output=True, text=True, env=environment, check=False)


def test_mypy_strict_accepts_the_example_and_catches_a_wrong_call(tmp_path):
    done = mypy(tmp_path, HERE / "typed_example.py")
    assert done.returncode == 0, done.stdout + done.stderr
    wrong = tmp_path / "wrong.py"
    wrong.write_text("import tamrisk\n"
                     "tamrisk.profile(eval_tme=1.0)\n"
                     "count: int = tamrisk.profile()['totals']['eff_ratio']\n"
                     "tamrisk.scan(ext=(1.0, 2.0))\n", encoding="utf-8")
    done = mypy(tmp_path, wrong)
    assert done.returncode == 1
    assert 'Unexpected keyword argument "eval_tme"' in done.stdout
    assert "wrong.py:3: error: Incompatible types in assignment" in done.stdout
    assert "wrong.py:4: error: Argument \"ext\" to \"scan\"" in done.stdout


def test_the_installed_module_and_its_stub_are_found_where_debians_python_looks(tmp_path):
    prefix = tmp_path / "prefix"
    subprocess.run([os.environ["CMAKE_COMMAND"], "--install", os.environ["TAMRISK_BUILD_DIR"], "--prefix", str(prefix),
                    "--component", "python"], check=True, capture_output=True)
    packages = prefix / "lib" / "python3" / "dist-packages"
    assert (packages / "tamrisk.pyi").read_bytes() == (packages / "tamrisk-stubs" / "__init__.pyi").read_bytes() \
        == STUB.read_bytes()
    # An interpreter whose module folder is the installed one: it imports the
    # installed module, and mypy takes the installed stub package.
    venv = tmp_path / "venv"
    subprocess.run([sys.executable, "-m", "venv", "--without-pip", str(venv)], check=True)
    python = venv / "bin" / "python"
    site = Path(subprocess.run([python, "-c", "import site; print(site.getsitepackages()[0])"], check=True,
                               capture_output=True, text=True).stdout.strip())
    (site / "installed.pth").write_text(str(packages) + "\n", encoding="utf-8")
    where = subprocess.run([python, "-c", "import tamrisk; print(tamrisk.__file__)"], check=True,
                           capture_output=True, text=True, env={"PATH": os.environ["PATH"]}).stdout
    assert Path(where.strip()).parent == packages
    script = tmp_path / "installed.py"
    script.write_text("import tamrisk\ncount: int = tamrisk.profile()['totals']['eff_ratio']\n", encoding="utf-8")
    done = subprocess.run(
        [sys.executable, "-m", "mypy", "--strict", "--python-executable", str(python), "--cache-dir",
         str(tmp_path / "cache"), str(script)], capture_output=True, text=True, check=False)
    assert "installed.py:2: error: Incompatible types in assignment" in done.stdout, done.stdout
