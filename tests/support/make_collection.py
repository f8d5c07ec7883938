#!/usr/bin/env python3
# Run: python3 tests/support/make_collection.py OUT_DIR [--count N] [--seed S] [--per-folder N]
"""Writes a generated collection of box files: German titles, persons with
and without umlauts, years, FSK, genres, EANs, covers from the examples (one
box in ten has none), a hundred boxes to a folder. The same seed gives the
same files. As a module, make_collection() also returns what each box holds,
so a test knows which rows a search must leave."""

import argparse
import random
import sys
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(TOP / "tools"))
import boxwriter  # noqa: E402

COVERS = [TOP / "examples" / "covers" / name
          for name in ("two-dvds.jpg", "krimi-abende.gif", "kinderkiste.bmp")]
PICTURE_TYPES = {".jpg": "jpeg", ".gif": "gif", ".bmp": "bmp"}

SURNAMES = ["Brückner", "Köhler", "Bäumler", "Jäger", "Müller", "Schröder", "Krämer",
            "Weiß", "Böhm", "Lührsen", "Nüßlein", "Hausmann", "Meier", "Kowalczyk",
            "Szymanski", "Brandt", "Vogel", "Lindqvist", "Ostermann", "Petersen",
            "Falkenberg", "Dreher", "Rautenberg", "Wiegand", "Sommerfeld", "Adler"]
FIRST_NAMES = ["Jörg", "Jürgen", "Günther", "Käthe", "Ilse", "Paula", "Till", "Rudi",
               "Friederike", "Hans", "Mattis", "Lene", "Ömer", "Greta", "Bruno", "Anke"]
ADJECTIVES = ["lange", "stille", "dunkle", "letzte", "kalte", "goldene", "verlorene",
              "grüne", "schöne", "fremde", "heiße", "ferne"]
NOUNS = [("Der", "Winter"), ("Die", "Nacht"), ("Die", "Brücke"), ("Der", "Hafen"),
         ("Die", "Spur"), ("Die", "Insel"), ("Die", "Reise"), ("Die", "Stadt"),
         ("Der", "Sommer"), ("Die", "Grenze"), ("Die", "Küste"), ("Die", "Mühle"),
         ("Das", "Haus"), ("Die", "Wahrheit"), ("Das", "Erbe"), ("Der", "Zeuge")]
GENRES = ["Krimi", "Drama", "Komödie", "Western", "Kinderfilm", "Abenteuer",
          "Thriller", "Dokumentation", "Liebesfilm", "Science-Fiction"]
FSK = [0, 6, 12, 16, 18]


def title(rng, number):
    article, noun = rng.choice(NOUNS)
    return f"{article} {rng.choice(ADJECTIVES)} {noun} {number}"


def film(rng, number):
    """One film's facts and its tokens (title, FSK, year, genre, persons)."""
    persons = []
    for _ in range(rng.randint(1, 3)):
        name = (rng.choice(SURNAMES), rng.choice(FIRST_NAMES))
        if name not in persons:
            persons.append(name)
    facts = {"title": title(rng, number), "year": rng.randint(1950, 2020),
             "fsk": rng.choice(FSK), "genre": rng.choice(GENRES),
             "persons": [f"{surname}, {first}" for surname, first in persons]}
    tokens = [{"film_title": facts["title"]}, {"fsk": facts["fsk"]},
              {"film_year": facts["year"]}, {"film_length": rng.randint(70, 160)},
              {"film_genre": facts["genre"]}, {"role": "Regie"}, {"role": "Darsteller"}]
    tokens += [{"person": [surname, first, 1]} for surname, first in persons]
    tokens += [{"person_ref": [i + 1, 1 if i == 0 else 2]} for i in range(len(persons))]
    tokens.append({"marker": 133})
    return facts, tokens


def box(rng, index):
    """The description of box `index` and what it holds."""
    facts = {"index": index, "films": [], "dvds": rng.randint(1, 3),
             "ean": f"40{rng.randrange(10 ** 11):011d}"}
    # One box in five has no box title: the first DVD's title stands in.
    facts["title"] = None if index % 5 == 4 else title(rng, index)
    tokens = [{"marker": 128}, {"box_ean": facts["ean"]}, {"dvd_count": facts["dvds"]}]
    if facts["title"]:
        tokens.insert(1, {"box_title": facts["title"]})
    for dvd in range(facts["dvds"]):
        dvd_title = f"DVD {dvd + 1} von {index}"
        if dvd == 0:
            facts["first_dvd_title"] = dvd_title
        films = rng.randint(1, 3)
        tokens += [{"dvd_title": dvd_title}, {"film_count": films}]
        for _ in range(films):
            film_facts, film_tokens = film(rng, index * 10 + len(facts["films"]))
            facts["films"].append(film_facts)
            tokens += film_tokens
    description = {"header": {"exportDate": "20070314", "exportTime": "101010"},
                   "data": {"compressed": index % 2 == 0, "tokens": tokens}}
    if index % 10 != 9:
        cover = COVERS[index % len(COVERS)]
        description["header"]["pictureType"] = PICTURE_TYPES[cover.suffix]
        description["cover"] = {"file": str(cover), "compressed": index % 3 == 0}
    facts["cover"] = "cover" in description
    return description, facts


def make_collection(out_dir, count, seed=1, per_folder=100):
    """Writes `count` boxes under `out_dir`; returns their facts, each with
    its "path"."""
    rng = random.Random(seed)
    out_dir = Path(out_dir)
    boxes = []
    for index in range(count):
        description, facts = box(rng, index)
        path = out_dir / f"teil{index // per_folder:03d}" / f"box{index:05d}.box"
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(boxwriter.build_box(description))
        facts["path"] = str(path)
        boxes.append(facts)
    return boxes


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("out_dir")
    parser.add_argument("--count", type=int, default=50)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--per-folder", type=int, default=100)
    args = parser.parse_args()
    make_collection(args.out_dir, args.count, args.seed, args.per_folder)


if __name__ == "__main__":
    main()
