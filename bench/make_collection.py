#!/usr/bin/env python3
"""Writes a collection of box files shaped like the examples for the
collection benchmark, with tools/boxwriter.py: JPEG covers of 20 to 60 KB,
one to three DVDs of one to four films with languages and persons, content
and comment; one box in ten holds 100 DVDs. Also writes `queries.txt`: 200
searches a collector might type (names, title words, one- and two-letter
prefixes, field words). Deterministic for a seed.

Run: python3 bench/make_collection.py OUT_DIR COUNT [--seed N]
"""

import argparse
import json
import random
import subprocess
import sys
import tempfile
from pathlib import Path

TOP = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(TOP / "tools"))
import boxwriter  # noqa: E402

# A collection has thousands of names and title words; these make 1,200
# surnames and 900 title words, so a name is in a few hundred films.
STEMS = ("Brück Kowal Pfeif Lind Weiß Haus Bäum Jäg Thieß Grab Eck Lor Sör Nüb Alb Baran Cel "
         "Dahl Eng Falk Görl Hüb Ilg Janß Kräm Lüb Mert Now Oberl Peter Quand Röß Schäf Tied Uhl "
         "Vog Wendl Zöll Mahl Reim Sand Kolb Fink Stein Brand Holt Kranz Wolt Rad Senf Tann Lenz "
         "Harm Born Frey Gall Kast Löw Münz Pohl").split()
ENDINGS = "ner er mann sen ski ke lin ow ing hoff berg dorf ler ek rich au ter holz feld at".split()
SURNAMES = [stem + ending for stem in STEMS for ending in ENDINGS]
GIVEN = ("Ilse Jörg Mattis Selma Ansgar Konrad Friederike Till Paula Rudi Marlene Henning Bärbel "
         "Ole Kai Franziska Anton Greta Hannes Jule Lasse Mira Nils Oskar Ronja Sven Tilda Wiebke "
         "Ada Bent Cläre Detlef Elif Fiete Gunda Hauke Inka Jannis Kerstin Lutz Meike Nele Ömer "
         "Piet Rieke Sönke Thea Uwe Vito Wanda Xaver Yasemin Zeno").split()
FIRST = ("Nebel Leucht Sturm Licht Schatten Sommer Winter Drachen Zirkus Moor Brücken Mühlen "
         "Gold Feuer Eis Stadt Dorf Himmel Küsten Wald Berg Fluss Reise Heim Stern Garten Nacht "
         "Morgen Insel Hafen").split()
SECOND = ("wald turm kehr spur wasser zeit kinder lied traum wind land haus fahrt nacht herz "
          "feuer jagd stein tor see grund weg bucht flug ruf schatz wache fest sang reich").split()
WORDS = [first + second for first in FIRST for second in SECOND]
GENRES = ["Abenteuer", "Drama", "Krimi", "Thriller", "Komödie", "Dokumentation", "Kinderfilm",
          "Trickfilm", "Kurzfilm", "Western", "Liebesfilm", "Science-Fiction", "Horror"]
ROLES = ["Regie", "Darsteller", "Drehbuch", "Musik", "Kamera", "Sprecher"]
LANGUAGES = ["Deutsch", "Englisch", "Französisch", "Italienisch", "Dänisch"]
DETAILS = ["Dolby Digital 5.1", "Dolby Digital 2.0", "DTS 5.1", "Mono"]
PROSE = ("Die Geschichte erzählt von einem Dorf am Rand eines Waldes, in dem seit Jahren "
         "seltsame Dinge geschehen. Eine junge Försterin kehrt zurück und stößt auf alte "
         "Geheimnisse, die das Leben aller Bewohner verändern.")


def title(rng, words=None):
    return " ".join(rng.choice(WORDS) for _ in range(words or rng.randint(1, 3)))


def film_tokens(rng):
    tokens = [{"film_title": title(rng)}]
    if rng.random() < 0.5:
        tokens.append({"film_original_title": title(rng)})
    if rng.random() < 0.3:
        tokens.append({"film_further_title": title(rng)})
    tokens += [{"fsk": rng.choice([0, 6, 12, 16, 18])}, {"film_year": rng.randint(1950, 2008)},
               {"film_length": rng.randint(15, 180)}, {"film_picture_format": "16:9, anamorph"},
               {"film_genre": ", ".join(rng.sample(GENRES, rng.randint(1, 2)))},
               {"film_subtitle": ", ".join(rng.sample(LANGUAGES, 2))}]
    languages = rng.sample(LANGUAGES, rng.randint(1, 2))
    details = rng.sample(DETAILS, 2)
    tokens += [{"language": name} for name in languages]
    tokens += [{"language_detail": name} for name in details]
    tokens += [{"language_ref": [i + 1, rng.randint(1, 2)]} for i in range(len(languages))]
    roles = rng.sample(ROLES, 3)
    tokens += [{"role": role} for role in roles]
    people = rng.randint(2, 6)
    tokens += [{"person": [rng.choice(SURNAMES), rng.choice(GIVEN), 1]} for _ in range(people)]
    tokens += [{"person_ref": [i + 1, rng.randint(1, 3)]} for i in range(people)]
    tokens.append({"note": [2, "als " + rng.choice(GIVEN) + " " + rng.choice(SURNAMES)]})
    tokens.append({"marker": 133})
    return tokens


def box_description(rng, cover, big):
    dvds = 100 if big else rng.randint(1, 3)
    tokens = [{"marker": 128}, {"box_title": title(rng, 2) + "-Sammlung"},
              {"box_ean": str(rng.randint(4000000000000, 4099999999999))},
              {"box_packaging": "Amaray-Hülle"}, {"dvd_count": dvds}]
    for number in range(dvds):
        films = 1 if big else rng.randint(1, 4)
        tokens += [{"dvd_title": title(rng)}, {"region": [2]}, {"dvd_sn": 20040000 + number},
                   {"dvd_format": "DVD-9, PAL"}, {"dvd_year": rng.randint(1998, 2008)},
                   {"film_count": films}]
        for _ in range(films):
            tokens += film_tokens(rng)
    tokens += [{"content": PROSE}, {"comment": "Gekauft " + str(rng.randint(1999, 2008))},
               {"marker": 133}]
    return {"header": {"exportDate": "20070314", "exportTime": "194512", "pictureType": "jpeg"},
            "cover": {"file": str(cover), "compressed": True},
            "data": {"compressed": True, "tokens": tokens}}


def make_covers(folder, rng):
    """JPEGs of 20 to 60 KB (ImageMagick noise at sizes that give those)."""
    covers = []
    for index in range(12):
        path = Path(folder) / f"cover{index}.jpg"
        side = rng.randint(290, 460)
        subprocess.run(["convert", "-size", f"{side}x{int(side * 1.4)}", "plasma:fractal",
                        "-quality", "85", str(path)], check=True)
        if 20000 <= path.stat().st_size <= 60000:
            covers.append(path)
    if not covers:
        sys.exit("no cover came out between 20 and 60 KB")
    return covers


def queries(rng):
    found = []
    for _ in range(50):
        found.append(rng.choice(SURNAMES))
    for _ in range(40):
        found.append(rng.choice(WORDS).lower())
    for _ in range(25):
        found.append(rng.choice(SURNAMES)[:1].lower())
    for _ in range(25):
        found.append(rng.choice(WORDS)[:2].lower())
    for _ in range(20):
        found.append(f"person:{rng.choice(SURNAMES)} jahr:{rng.randint(195, 200)}0-"
                     f"{rng.randint(195, 200)}9")
    for _ in range(20):
        found.append(f"genre:{rng.choice(GENRES)} fsk:{rng.choice([0, 6, 12, 16, 18])}")
    for _ in range(20):
        found.append(f"\"{rng.choice(GIVEN)} {rng.choice(SURNAMES)[:3]}\" {rng.choice(WORDS)[:4]}")
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out", type=Path)
    parser.add_argument("count", type=int)
    parser.add_argument("--seed", type=int, default=20071231)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    args.out.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as scratch:
        covers = make_covers(scratch, rng)
        sizes = [cover.stat().st_size for cover in covers]
        for index in range(args.count):
            description = box_description(rng, rng.choice(covers), index % 10 == 9)
            folder = args.out / f"regal{index // 1000:02d}"
            folder.mkdir(exist_ok=True)
            (folder / f"box{index:06d}.box").write_bytes(boxwriter.build_box(description))
    (args.out / "queries.txt").write_text("\n".join(queries(rng)) + "\n", encoding="utf-8")
    print(json.dumps({"boxes": args.count, "covers": sizes}))


if __name__ == "__main__":
    main()
