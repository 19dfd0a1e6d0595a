"""Packs a folder into a .zip file, the folder itself at its top: python3 zip_folder.py ZIP FOLDER

Non-ASCII names (说明.txt) get the archive's UTF-8 flag, which Debian's Info-ZIP never sets: without it,
extractors that read names in code page 936 garble them. Entries in name order, so that the same
folder gives the same listing.
"""
import os
import sys
import zipfile


def main(archive: str, folder: str) -> None:
    parent = os.path.dirname(os.path.abspath(folder))
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as packed:
        for top, folders, files in os.walk(folder):
            folders.sort()
            packed.write(top, os.path.relpath(top, parent))
            for name in sorted(files):
                path = os.path.join(top, name)
                packed.write(path, os.path.relpath(path, parent))


if __name__ == "__main__":
    main(*sys.argv[1:])
