#!/usr/bin/env python3
"""Makes the benchmark's box files with the box writer.

Usage: python3 bench/make_inputs.py OUTDIR

Writes a person-block scale series (1k to 1M persons in one block, and the
same numbers spread over films of 100 persons), a 12 MiB prose block
compressed and stored, and a collection of 100 DVDs with 2,000 films and
20,000 persons. Seeded, so every run measures the same bytes.
"""
import random
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tools"))
import boxwriter  # noqa: E402

ROLES = ["Regie", "Darsteller", "Drehbuch", "Kamera", "Musik", "Schnitt",
         "Produktion", "Sprecher", "Ton", "Szenenbild"]
SYLLABLES = ("ba be bi bo bu da de di do du ka ke ki ko ku la le li lo lu ma me "
             "mi mo mu na ne ni no nu ra re ri ro ru sa se si so su ta te ti to "
             "tu ver ge ung sch ei au ä ö ü").split()


def person_block(first, count, rng):
    """Roles, `count` persons, a reference each and a note for every tenth."""
    tokens = [{"role": r} for r in ROLES]
    for i in range(count):
        tokens.append({"person": [f"Name{first + i}", "Vorname", 1 + (i % 7 == 0)]})
    for i in range(1, count + 1):
        tokens.append({"person_ref": [i, 1 + rng.randrange(len(ROLES))]})
    for i in range(1, count + 1, 10):
        tokens.append({"note": [i, "als Figur"]})
    return tokens


def one_block(persons, rng):
    return [{"film_title": "Alle auf einmal"}] + person_block(0, persons, rng) + [{"marker": 128}]


def across_films(persons, rng):
    tokens = []
    for film in range(persons // 100):
        tokens.append({"film_title": f"Film {film}"})
        tokens += person_block(film * 100, 100, rng)
    return tokens + [{"marker": 128}]


def prose(size, rng):
    """Lines of made-up words that deflate about 3.2:1, like real prose."""
    words = ["".join(rng.choice(SYLLABLES) for _ in range(rng.randint(1, 4)))
             for _ in range(500)]
    tokens, total = [], 0
    while total < size:
        line = " ".join(rng.choice(words) for _ in range(40))[:250]
        tokens.append({"box_extra": line})
        total += len(line) + 14  # the label and CR LF it gets
    return tokens


def collection(rng):
    tokens = [{"box_title": "Die große Sammlung"}, {"dvd_count": 100}]
    for dvd in range(100):
        tokens += [{"dvd_title": f"DVD {dvd}"}, {"region": [2]}, {"dvd_sn": 1000 + dvd},
                   {"dvd_format": "DVD-9, PAL"}, {"dvd_year": 2000 + dvd % 20},
                   {"film_count": 20}]
        for film in range(20):
            tokens += [{"film_title": f"Film {dvd}-{film}"}, {"fsk": 12}, {"film_year": 1990},
                       {"film_length": 95}, {"film_genre": "Krimi"}, {"language": "Deutsch"},
                       {"language_detail": "Dolby Digital 5.1"}, {"language_ref": [1, 1]}]
            tokens += person_block((dvd * 20 + film) * 10, 10, rng)
    return tokens + [{"marker": 128}]


def write(out, name, tokens, compressed=True):
    box = {"header": {"exportDate": "20061231", "exportTime": "120000"},
           "data": {"compressed": compressed, "tokens": tokens}}
    (out / f"{name}.box").write_bytes(boxwriter.build_box(box))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for n, tag in ((1000, "1k"), (10000, "10k"), (100000, "100k"), (1000000, "1M")):
        write(out, f"persons-block-{tag}", one_block(n, random.Random(n)))
        write(out, f"persons-films-{tag}", across_films(n, random.Random(n)))
    text = prose(12 * 1024 * 1024, random.Random(12))
    write(out, "prose-12M-compressed", text)
    write(out, "prose-12M-stored", text, compressed=False)
    write(out, "collection-100dvd", collection(random.Random(100)))


if __name__ == "__main__":
    main()
