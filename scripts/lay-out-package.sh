#!/bin/bash
# lay-out-package.sh MODEL SAMPLES_DIR MODEL_DLL PROGRAM DEST
# Lays out a driver package as it ships: the program, the model's setup
# information file, its driver files (the data file and the resource file
# SZDD-compressed, named the way compress names its output: the last letter
# replaced by "_"), and the model file.
set -eu
model=$1 samples=$2 model_dll=$3 program=$4 dest=$5
command -v mscompress >/dev/null || { echo "mscompress is not installed (run scripts/install-deps.sh)" >&2; exit 1; }
rm -rf "$dest"
mkdir -p "$dest"
cp "$program" "$dest/"
cp "$samples/$model.INF" "$dest/"
cp "$model_dll" "$dest/$model.DLL"
for f in "$samples/$model"/*; do
    name=$(basename "$f")
    case $name in
    *.GPD | *RES.DLL)
        cp "$f" "$dest/$name"
        mscompress "$dest/$name" >/dev/null
        rm "$dest/$name"
        mv "$dest/${name}_" "$dest/${name%?}_"
        ;;
    *) cp "$f" "$dest/$name" ;;
    esac
done
