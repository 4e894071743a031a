#!/usr/bin/env python3
"""Writes the placeholder card library into data/: the manifest and one
payload file per card.

The real card images are not part of this project. These placeholders have
the library's layout (the names, their order, every payload length), so that
the program behaves with them exactly as with the real images; their bytes
are pseudo-random, deterministic, and cover every byte value, so that every
biphase transition pattern occurs. Run it again and it writes the same files.

    python3 tools/make_placeholder_cards.py [DATA_DIRECTORY]
"""

import os
import sys

# Set-numbered cards: (set number, set name, six titles in alphabetical order).
SETS = [
    (541, "children-1", ["all_around_the_cobbler", "bingo",
                        "hickory_dickory_dock", "humpty_dumpty", "little_bo_peep", "pop_goes_the_weasel"]),
    (542, "nursery-rhymes-1", ["baa_baa_black_sheep", "hot_cross_buns", "jack_and_jill",
                        "mary_had_a_little_lamb", "oh_dear_what_can_the_matter_be", "the_muffin_man"]),
    (543, "folk-songs-1", ["clementine", "home_on_the_range", "oh_susanna",
                           "red_river_valley", "shenandoah", "yankee_doodle"]),
    (544, "folk-songs-2", ["aura_lee", "buffalo_gals", "camptown_races",
                           "old_folks_at_home", "skip_to_my_lou", "turkey_in_the_straw"]),
    (545, "easy-classics-1", ["air_on_the_g_string", "canon_in_d", "eine_kleine_nachtmusik",
                              "fur_elise", "minuet_in_g", "ode_to_joy"]),
    (546, "easy-classics-2", ["blue_danube", "can_can", "hallelujah_chorus",
                              "morning_mood", "spring_from_the_four_seasons", "william_tell_overture"]),
    (547, "easy-classics-3", ["ave_maria", "brahms_lullaby", "humoresque",
                              "radetzky_march", "toreador_song", "trumpet_voluntary"]),
    (548, "marches-and-parades-1", ["british_grenadiers", "colonel_bogey", "liberty_bell",
                        "semper_fidelis", "stars_and_stripes_forever", "washington_post"]),
    (549, "hymns-and-anthems-1", ["abide_with_me", "amazing_grace", "be_thou_my_vision",
                      "morning_has_broken", "rock_of_ages", "what_a_friend_we_have"]),
    (550, "tunes-of-the-world-1", ["cielito_lindo", "greensleeves", "la_cucaracha",
                            "sakura_sakura", "santa_lucia", "waltzing_matilda"]),
    (551, "tunes-of-the-world-2", ["arirang", "frere_jacques", "kalinka",
                            "loch_lomond", "o_sole_mio", "sur_le_pont_d_avignon"]),
    (553, "square-dances-1", ["blue_tail_fly", "cotton_eye_joe", "irish_washerwoman",
                       "sailors_hornpipe", "tarantella", "virginia_reel"]),
    (555, "lullabies-1", ["all_through_the_night", "golden_slumbers", "hush_little_baby",
                          "rock_a_bye_baby", "sleep_baby_sleep", "twinkle_twinkle_little_star"]),
    (557, "christmas-1", ["jingle_bells", "joy_to_the_world", "o_christmas_tree",
                          "o_come_all_ye_faithful", "silent_night", "we_wish_you_a_merry_christmas"]),
    (558, "christmas-2", ["away_in_a_manger", "deck_the_halls", "good_king_wenceslas",
                          "hark_the_herald_angels_sing", "the_first_noel", "up_on_the_housetop"]),
    (561, "party-and-game-songs-1", ["for_hes_a_jolly_good_fellow", "happy_birthday_to_you",
                            "if_youre_happy_and_you_know_it", "london_bridge",
                            "row_row_row_your_boat", "the_wheels_on_the_bus"]),
    (563, "sea-shanties-1", ["blow_the_man_down", "drunken_sailor", "haul_away_joe",
                             "leave_her_johnny", "spanish_ladies", "wellerman"]),
    (566, "opera-favourites-1", ["habanera", "la_donna_e_mobile", "libiamo", "o_mio_babbino_caro",
                      "the_flower_duet", "triumphal_march"]),
    (569, "ballet-favourites-1", ["dance_of_the_hours", "dance_of_the_sugar_plum_fairy", "russian_dance",
                       "swan_lake_theme", "waltz_of_the_flowers", "sleeping_beauty_waltz"]),
    (572, "ragtime-1", ["elite_syncopations", "maple_leaf_rag", "pineapple_rag",
                        "solace", "the_easy_winners", "the_entertainer"]),
    (575, "viennese-waltzes-1", ["emperor_waltz", "over_the_waves", "skaters_waltz",
                        "tales_from_the_vienna_woods", "the_merry_widow_waltz", "wine_women_and_song"]),
    (581, "gospel-and-spirituals-1", ["go_down_moses", "nobody_knows_the_trouble", "oh_happy_day",
                           "swing_low_sweet_chariot", "this_little_light_of_mine", "when_the_saints"]),
    (587, "campfire-songs-1", ["kumbayah", "michael_row_the_boat_ashore", "coming_round_the_mountains_when_she_comes",
                         "this_old_man", "on_top_of_old_smoky", "you_are_my_sunshine"]),
    (593, "country-dances-1", ["arkansas_traveler", "devils_dream", "old_joe_clark",
                               "soldiers_joy", "sourwood_mountain", "whiskey_before_breakfast"]),
    (602, "easy-piano-1", ["chopsticks", "heart_and_soul_practice", "lightly_row",
                           "long_long_ago", "lavenders_blue", "the_happy_farmer"]),
    (611, "easy-piano-2", ["a_little_march", "allegretto", "cuckoo", "musette",
                           "sonatina_in_c", "the_wild_rider"]),
    (619, "romantic-1", ["barcarolle", "clair_de_lune", "dreaming", "liebestraum",
                         "none_but_the_lonely_heart", "traumerei"]),
    (628, "baroque-1", ["bourree_in_e_minor", "gavotte", "jesu_joy_of_mans_desiring",
                        "la_rejouissance", "sheep_may_safely_graze", "water_music_hornpipe"]),
    (637, "scottish-1", ["auld_lang_syne", "bonnie_banks", "comin_thro_the_rye",
                         "scotland_the_brave", "the_skye_boat_song", "ye_banks_and_braes"]),
    (648, "irish-1", ["danny_boy", "molly_malone", "star_of_the_county_down",
                      "the_minstrel_boy", "the_rose_of_tralee", "wild_rover"]),
    (659, "easy-classics-4", ["anitras_dance", "hungarian_dance_no5", "in_the_hall_of_the_mountain_king",
                              "largo", "pomp_and_circumstance", "the_swan"]),
]
STEP_BY_STEP = (674, "step-by-step-1", ["lesson%d%s" % (n, side) for n in range(1, 7) for side in "ab"])

GERMAN = [
    ("german-1", ["alle_vogel_sind_schon_da", "backe_backe_kuchen", "hanschen_klein",
                  "kommt_ein_vogel_geflogen", "kuckuck_kuckuck", "weisst_du_wieviel_sternlein"]),
    ("german-2", ["der_mond_ist_aufgegangen", "ein_mannlein_steht_im_walde", "fuchs_du_hast_die_gans",
                  "horch_was_kommt_von_draussen_rein", "muss_i_denn", "summ_summ_summ"]),
]

PC_100 = ["9to5", "barcarole", "boogie_woogie", "country_road", "harmony", "little_waltz",
          "march", "moonlight", "polka", "rock_beat", "samba", "swing_time"]
PC_1000_JAPAN = []
for bank in "123":
    for number in range(10):
        title = "%s-%02d" % (bank, number)
        if title in ("1-09", "2-01", "2-08"):
            PC_1000_JAPAN += [title + "_side-a", title + "_side-b"]
        else:
            PC_1000_JAPAN.append(title)
PCS_30 = ["aloha_oe", "bicycle_built_for_two", "blue_bells", "cherry_blossom", "chiapanecas", "la_paloma",
          "memory", "musical_box", "o_tannenbaum", "santa_claus_march", "the_polka_dots", "when_the_saints"]


def card_names():
    names = []
    for number, set_name, titles in SETS + [STEP_BY_STEP]:
        names += ["%03d_%s_%s" % (number, set_name, title) for title in sorted(titles)]
    number = 267
    for set_name, titles in GERMAN:
        for title in sorted(titles):
            names.append("-%03d_%s_%s" % (number, set_name, title))
            number += 1
    names += ["pc-100_" + title for title in sorted(PC_100)]
    names += ["pc-1000-japan_" + title for title in sorted(PC_1000_JAPAN)]
    names += ["pcs-30_" + title for title in sorted(PCS_30)]
    return names


# Where a payload's length is fixed, and the start offsets of the cards that
# are pinned in the block: (index, payload offset, payload length).
PINNED = [(0, 0, 355), (1, 392, 393), (78, 31023, 413), (186, 76191, 84), (198, 77868, 271),
          (210, 81850, 377), (231, 89813, 190), (261, 101188, 433), (266, 103188, 418)]
BLOCK_SIZE = 103628
SHORTEST, LONGEST = 84, 433
# The other cards of these lengths: one more short lesson, nine more full cards.
EXTRA_SHORTEST = [193]
EXTRA_LONGEST = [5, 30, 60, 100, 150, 205, 220, 240, 250]


class Random:
    """xorshift32: small, and the same on every machine."""

    def __init__(self, seed):
        self.state = seed or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x


def spread(count, total, low, high, random):
    """`count` lengths from low to high that add up to `total`."""
    if not low * count <= total <= high * count:
        raise SystemExit("cannot spread %d bytes over %d cards" % (total, count))
    lengths = [low + random.next() % (high - low + 1) for _ in range(count)]
    i = 0
    while sum(lengths) != total:
        step = 1 if sum(lengths) < total else -1
        if low <= lengths[i] + step <= high:
            lengths[i] += step
        i = (i + 1) % count
    return lengths


def payload_lengths(names):
    lengths = [None] * len(names)
    fixed = {index: length for index, _, length in PINNED}
    fixed.update({index: SHORTEST for index in EXTRA_SHORTEST})
    fixed.update({index: LONGEST for index in EXTRA_LONGEST})
    starts = [(index, offset) for index, offset, _ in PINNED] + [(len(names), BLOCK_SIZE)]
    random = Random(0x5EED)
    for (first, offset), (end, end_offset) in zip(starts, starts[1:]):
        span = range(first, end)
        free = [i for i in span if i not in fixed]
        room = end_offset - offset - sum(len(names[i]) for i in span) - sum(fixed[i] for i in span if i in fixed)
        # The short lessons stay short; every other card avoids both extremes.
        low = SHORTEST + 1 if first != 186 else 100
        high = LONGEST - 1 if first != 186 else 140
        for i, length in zip(free, spread(len(free), room, low, high, random)):
            lengths[i] = length
        for i in span:
            if i in fixed:
                lengths[i] = fixed[i]
    return lengths


def payload(index, length):
    random = Random(0x9E3779B9 ^ (index * 2654435761 & 0xFFFFFFFF))
    return bytes(random.next() >> 24 for _ in range(length))


def main():
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data")
    names = card_names()
    lengths = payload_lengths(names)
    os.makedirs(os.path.join(data, "cards"), exist_ok=True)
    with open(os.path.join(data, "manifest.txt"), "w", newline="\n") as manifest:
        manifest.write("# The built-in cards in library order, one name per line; the payload of\n"
                       "# each is cards/NAME.bin. Lines starting with # are comments.\n")
        for index, (name, length) in enumerate(zip(names, lengths)):
            manifest.write(name + "\n")
            with open(os.path.join(data, "cards", name + ".bin"), "wb") as card:
                card.write(payload(index, length))


if __name__ == "__main__":
    main()
