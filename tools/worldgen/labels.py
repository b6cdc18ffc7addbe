"""Short labels of at most eight characters for the cities on the dial.

A label is the name itself when it fits, else a common abbreviation kept by hand (LABELS), else
a cut at a word or syllable boundary marked with a full stop ("Wollon."). Within a country
every label is given once: the larger city chooses first, the smaller takes its next choice.
"""

import unicodedata

LIMIT = 8

# Common abbreviations and readable cuts, by city name; kept by hand for the largest cities.
LABELS = {
    "Mexico City": "Mex.City", "São Paulo": "S.Paulo", "Buenos Aires": "B.Aires",
    "Los Angeles": "L.A.", "Rio de Janeiro": "Rio", "Guangzhou": "Guangz.",
    "Bengaluru": "B'luru", "Hong Kong": "HongKong", "Chongqing": "Chongq.",
    "Hyderabad": "Hyd'bad", "Melbourne": "Melb.", "Ahmedabad": "Amdavad",
    "Ho Chi Minh City": "HCMC", "Singapore": "S'pore", "Chittagong": "Chitta.",
    "Saint Petersburg": "SPb", "Alexandria": "Alex.", "Belo Horizonte": "B.Horiz.",
    "Philadelphia": "Philly", "Barcelona": "BCN", "Casablanca": "Casa",
    "Fortaleza": "Fortale.", "Addis Ababa": "Addis", "Guadalajara": "Guadala.",
    "Pyongyang": "Pyong.", "Changchun": "Changc.", "Cape Town": "CapeTown",
    "New Taipei": "N.Taipei", "Dar es Salaam": "Dar", "Quezon City": "Quezon",
    "Johannesburg": "Joburg", "Porto Alegre": "P.Alegre", "Faisalabad": "Faisal.",
    "Washington, D.C.": "Wash DC", "Zhangzhou": "Zhangz.", "Monterrey": "Monte.",
    "Zhengzhou": "Zhengz.", "Guayaquil": "Guaya.", "Shijiazhuang": "Shijia.",
    "Kaohsiung": "Kaohs.", "San Francisco": "S.Fran.", "San Diego": "SanDiego",
    "Saidu Sharif": "Saidu", "Santa Cruz de la Sierra": "S.Cruz", "Bucharest": "Bucha.",
    "Rawalpindi": "Pindi", "Frankfurt": "Frankf.", "Stuttgart": "Stuttg.",
    "Maracaibo": "Maracai.", "Tel Aviv-Yafo": "Tel Aviv", "Birmingham": "B'ham",
    "Port-au-Prince": "P-au-P", "George Town": "G.Town", "Palembang": "Palem.",
    "Hiroshima": "Hiroshi.", "Antananarivo": "Tana", "Pittsburgh": "Pitts.",
    "Barranquilla": "B/quilla", "Minneapolis": "Mpls", "Phnom Penh": "P.Penh",
    "Vancouver": "Vanc.", "Gujranwala": "Gujran.", "Kuala Lumpur": "K.Lumpur",
    "Baltimore": "B'more", "Faridabad": "Farida.", "San Antonio": "San Ant.",
    "Ciudad Juárez": "Juárez", "Coimbatore": "Coimba.", "Manchester": "Manch.",
    "Visakhapatnam": "Vizag", "Yekaterinburg": "Yekate.", "Ghaziabad": "Ghazi.",
    "St. Louis": "St.Louis", "Brazzaville": "Brazza", "Stockholm": "Sthlm",
    "Long Beach": "L.Beach", "Nizhny Novgorod": "Nizhny", "Novosibirsk": "Novosib",
    "Cleveland": "Cleve.", "Zaozhuang": "Zaozh.", "Las Vegas": "Vegas",
    "Changzhou": "Changz.", "Prayagraj": "Prayag", "Lubumbashi": "Lubum.",
    "Zhanjiang": "Zhanj.", "Indianapolis": "Indy", "Fort Lauderdale": "Ft.Laud.",
    "Marseille": "Marseil.", "Fort Worth": "Ft.Worth", "Copenhagen": "Copen.",
    "Mbuji-Mayi": "Mbuji-M.", "Santo Domingo": "Sto.Dgo.",
    "Chhatrapati Sambhajinagar": "Sambha.", "Kuwait City": "Kuwait", "Sacramento": "Sacto",
    "Rostov-on-Don": "Rostov", "Abbottabad": "Abbott.", "Port Harcourt": "Pt.Harc.",
    "Chelyabinsk": "Chelya.", "Guatemala City": "Guate", "Vijayawada": "Vijaya.",
    "Ma'anshan": "Ma'an.", "Ouagadougou": "Ouaga", "Kitakyushu": "Kitakyu.",
    "Mogadishu": "Mogadi.", "Milwaukee": "Milwau.", "San Bernardino": "S.Bern.",
    "Cincinnati": "Cincy", "Barquisimeto": "Barqui.", "Jamshedpur": "Jamshed.",
    "Kansas City": "K.C.", "Mudanjiang": "Mudanj.", "The Hague": "TheHague",
    "Chandigarh": "Chandi.", "Charlotte": "Charl.", "Gaziantep": "Antep",
    "Nezahualcóyotl": "Neza", "Benin City": "Benin C.", "Sheffield": "Sheff.",
    "Jerusalem": "Jerusa.", "Düsseldorf": "Düssel.", "Jacksonville": "Jax",
    "Tegucigalpa": "Tegus", "Kathmandu": "Kathman.", "Hamamatsu": "Hamama.",
    "Cartagena": "Cartage.", "Amsterdam": "A'dam", "Liupanshui": "Liupan.",
    "Bandar Lampung": "Lampung", "Qinhuangdao": "Qinhu.", "Virginia Beach": "Va.Beach",
    "Thiruvananthapuram": "Trivan.", "Tiruchirappalli": "Trichy",
    "Cagayan de Oro": "C.de Oro", "Marrakesh": "Marra.", "Pingdingshan": "Pingd.",
    "Panama City": "Panama", "Nova Iguaçu": "N.Iguaçu", "Duque de Caxias": "D.Caxias",
    "Johor Bahru": "J.Bahru", "N'Djamena": "N'Djam.", "San Luis Potosí": "San Luis",
    "Port Elizabeth": "P.Eliz.", "Kermanshah": "K'shah", "Ulaanbaatar": "Ulaanb.",
    "Jalandhar": "Jaland.", "Newcastle": "Newcas.", "Cochabamba": "Cocha",
    "João Pessoa": "J.Pessoa", "Bhubaneswar": "Bhuban.", "Zhangjiakou": "Zhangj.",
    "Volgograd": "Volgo.", "Rotterdam": "R'dam", "Bucaramanga": "B/manga",
    "Querétaro": "Queréta.", "Atal Nagar": "A.Nagar", "Vereeniging": "Vereen.",
    "Xiangyang": "Xiangy.", "Aguascalientes": "Aguas", "Montevideo": "Montevi.",
    "Moradabad": "Morad.", "Yangjiang": "Yangj.", "Chihuahua": "Chihua.",
    "General Santos": "Gensan", "Zhenjiang": "Zhenj.", "Vila Velha": "V.Velha",
    "Albuquerque": "Albuq.", "San Salvador": "S.Salv.", "Lianyungang": "Lianyun.",
    "Joinville": "Joinvil.", "New Haven": "N.Haven", "Pekanbaru": "Pekan.",
    "Maiduguri": "Maidugu.", "Nashville": "Nash.", "Nouakchott": "Nouak.",
    "Kozhikode": "Kozhik.", "São José dos Campos": "SJCampos", "Islamabad": "Isl'abad",
    "Antwerpen": "Antwer.", "Campo Grande": "C.Grande", "San Miguel de Tucumán": "Tucumán",
    "West Palm Beach": "W.Palm", "Gorakhpur": "Gorakh.", "Pingxiang": "Pingx.",
    "Providence": "Provi.", "Santo André": "S.André", "Vientiane": "Vien.",
    "Oklahoma City": "OK City", "As Sulaymaniyah": "Sulay.", "Samarkand": "Samar.",
    "Diyarbakir": "Diyarba.", "Liverpool": "L'pool", "Yogyakarta": "Jogja",
    "Ciudad Guayana": "Guayana", "Al Hudaydah": "Hudaydah", "Pietermaritzburg": "PMBurg",
    "Zamboanga": "Zambo.", "Krasnoyarsk": "Krasnoy.", "Pointe-Noire": "P-Noire",
    "Krasnodar": "Krasnod.", "Zaporizhzhia": "Zapor.", "Mangaluru": "Mangal.",
    "Louisville": "Louisv.", "Ogbomosho": "Ogbom.", "Cuernavaca": "Cuerna.",
    "Thessaloniki": "Thessa.", "Banjarmasin": "Banjar.", "Vladivostok": "Vladivo.",
    "San Pedro Sula": "S.P.Sula", "Abu Dhabi": "AbuDhabi", "Pontianak": "Pontia.",
    "Bridgeport": "Bridgep.", "Salt Lake City": "SaltLake", "Kryvyi Rih": "K.Rih",
    "Ulyanovsk": "Ulyan.", "Yaroslavl": "Yaros.", "Florianópolis": "Floripa",
    "Nottingham": "Nott'm", "Wuppertal": "Wupper.", "Khabarovsk": "Khabar.",
    "Naypyidaw": "Naypyi.", "Port Said": "PortSaid", "Kisangani": "Kisan.",
    "Utsunomiya": "Utsuno.", "Novo Hamburgo": "N.Hamb.", "Surakarta": "Solo",
    "Mar del Plata": "Mardel", "Hermosillo": "Hermos.", "Bahawalpur": "Bahawal.",
    "Concepción": "Concep.",
    # Regional cities that people look for by these names.
    "Wollongong": "W'gong", "Gold Coast": "G.Coast", "Townsville": "T'ville",
    "Alice Springs": "Alice", "Christchurch": "Chch", "Invercargill": "Invers.",
    "Palmerston North": "P.North", "New Plymouth": "N.Plym.", "Queenstown": "Qtown",
    "Wellington": "Welling.", "Anchorage": "Anchor.", "Saskatoon": "S'toon",
    "Charlottetown": "Ch'town", "Yellowknife": "Y'knife", "Petropavlovsk-Kamchatsky": "P-Kamch.",
    "Yuzhno-Sakhalinsk": "Y-Sakh.", "Las Palmas de Gran Canaria": "L.Palmas",
    "Santa Cruz de Tenerife": "Tenerife", "Puerto Baquerizo Moreno": "Pto.Baq.",
    "Fernando de Noronha": "Noronha", "Lord Howe Island": "LordHowe",
    "Southampton": "Soton", "Middlesbrough": "M'brough", "Pematangsiantar": "Siantar",
    "Puducherry": "Pondy", "Kuala Terengganu": "K.Tganu", "Longyearbyen": "L'byen",
    "Dumont d'Urville Station": "Dumont", "Coeur d'Alene": "CdA", "Nakhon Ratchasima": "Korat",
    "Ubon Ratchathani": "Ubon", "Bandar Seri Begawan": "BSB", "Andorra la Vella": "Andorra",
    "San Cristóbal de las Casas": "San Cris", "Spanish Town": "Sp.Town", "Rapid City": "Rapid C.",
    "Labrador City": "Lab City", "St. George's": "St.Geo.", "Americana": "Americ.",
    "Southend-on-Sea": "Southend", "Kingston upon Hull": "Hull", "St. Petersburg": "St.Pete",
    "New Orleans": "NOLA", "Colorado Springs": "C.Spgs", "Edinburgh": "Edin.",
    "Valparaíso": "Valpo", "Viña del Mar": "Viña", "San Salvador de Jujuy": "Jujuy",
    "Bloemfontein": "Bloem",
}

VOWELS = set("aeiouy")
DIGRAPHS = {"ch", "sh", "th", "ph", "gh", "kh", "zh", "wh"}
# Left out within a name ("Juiz de Fora"); the Arabic article also at its start ("Al Amarah").
SMALL_WORDS = {"of", "de", "del", "do", "da", "dos", "das", "la", "le", "upon", "on", "du",
               "des", "di", "y", "e"}
ARTICLES = {"al", "el", "ar", "as", "an", "az", "ad", "at", "ash", "ad-", "al-"}
# A last word that a label can do without, when enough of the name remains.
GENERIC_LAST = {"Station", "Island", "Islands", "Town", "City"}


def fold_letter(c):
    return "".join(b for b in unicodedata.normalize("NFKD", c.lower())
                   if not unicodedata.combining(b))


def is_vowel(word, i):
    c = fold_letter(word[i])
    if c == "y":
        # A y before a vowel sounds as a consonant ("Yangon", "Pyongyang").
        return not (i + 1 < len(word) and fold_letter(word[i + 1]) in VOWELS - {"y"})
    return c in VOWELS


def syllable_cuts(word):
    """Positions in word where a syllable begins, by a rough rule that suits most languages:
    one consonant between vowels opens the next syllable, a cluster splits before its last
    consonant (before a closing ch, sh, th ..., after an opening ng or ck)."""
    if not word.isalpha():
        return []
    cuts = []
    i = 0
    n = len(word)
    while i < n:
        if not is_vowel(word, i):
            i += 1
            continue
        j = i
        while j < n and is_vowel(word, j):
            j += 1
        k = j
        while k < n and not is_vowel(word, k):
            k += 1
        if k >= n or k == j:
            i = k
            continue
        cluster = "".join(fold_letter(c) for c in word[j:k])
        if len(cluster) == 1:
            cut = j
        elif cluster.startswith("ng") and len(cluster) >= 3:
            cut = j + 2
        elif cluster.startswith("ck"):
            cut = j + 2
        elif cluster[-2:] in DIGRAPHS:
            cut = k - 2
        else:
            cut = k - 1
        if 0 < cut < n:
            cuts.append(cut)
        i = k
    return cuts


def stems(word, room):
    """Beginnings of word that end at a syllable, or one consonant into the next one, at
    most room letters long and at least three; longest first."""
    out = set()
    for cut in syllable_cuts(word):
        if 3 <= cut <= room:
            out.add(word[:cut])
        nxt = word[cut:cut + 2]
        if (3 <= cut + 1 <= room and not is_vowel(word, cut) and
                "".join(fold_letter(c) for c in nxt) not in DIGRAPHS):
            out.add(word[:cut + 1])
    return sorted(out, key=len, reverse=True)


def words_of(name):
    return [w for w in name.replace("-", " ").split() if w]


def candidates(name):
    """Labels for a name, best first."""
    out = []

    def add(label):
        label = label.strip()
        if label and len(label) <= LIMIT and label not in out:
            out.append(label)

    if name in LABELS:
        add(LABELS[name])
    if len(name) <= LIMIT:
        add(name)
    all_words = words_of(name)
    words = [w for k, w in enumerate(all_words)
             if w.lower() not in ARTICLES and (k == 0 or w.lower() not in SMALL_WORDS)]
    words = words or all_words
    if len(words) > 1 and words[-1] in GENERIC_LAST and len("".join(words[:-1])) >= 5:
        words = words[:-1]
    add(" ".join(words))
    add("".join(words))
    if len(words) > 1:
        initials = "".join(w[0] + "." for w in words[:-1])
        for stem in (initials, words[0][0] + "."):
            add(stem + words[-1])
            for part in stems(words[-1], LIMIT - 1 - len(stem)):
                add(stem + part + ".")
        # "Gorno-A.", "Kuala T.": the first word whole, the others by their initials.
        separator = "-" if "-" in name else " "
        add(words[0] + separator + "".join(w[0] for w in words[1:]) + ".")
    whole = "".join(words)
    for part in stems(whole, LIMIT - 1):
        add(part + ".")
    add(whole[:LIMIT - 1] + ".")
    return out


def assign(cities, key_of_country, name_of, weight_of):
    """Gives every city a label, unique within its country; larger cities choose first.
    Answers {id(city): label} and the cities that had to take a numbered label."""
    taken = {}
    labels = {}
    numbered = []
    for city in sorted(cities, key=lambda c: -weight_of(c)):
        used = taken.setdefault(key_of_country(city), set())
        choice = next((c for c in candidates(name_of(city)) if c not in used), None)
        if choice is None:
            base = candidates(name_of(city))[0][:LIMIT - 1]
            choice = next(base + str(n) for n in range(2, 10) if base + str(n) not in used)
            numbered.append(city)
        used.add(choice)
        labels[id(city)] = choice
    return labels, numbered
