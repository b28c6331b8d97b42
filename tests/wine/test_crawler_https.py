"""The crawler reads HTTPS sites under Wine: the fixture site over TLS on 127.0.0.1 with a
certificate from a test authority that the prefix trusts, and a server whose authority nobody
trusts. The certificates are made for each run with openssl."""
import os
import subprocess
import tempfile
import unittest

import winebed
from crawler.harness import READ_ERROR, TOP_OF_CHART, copy_site, crawl, refused_port, write_big_page


def openssl(*args):
    subprocess.run(["openssl", *args], check=True, capture_output=True, timeout=60)


def make_authority(folder, name):
    """A self-signed authority: (certificate PEM, key PEM, certificate DER) paths in FOLDER."""
    pem, key, der = (os.path.join(folder, name + ext) for ext in (".pem", ".key", ".der"))
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", pem,
            "-days", "2", "-subj", "/CN=Pathloom test authority " + name,
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("x509", "-in", pem, "-outform", "DER", "-out", der)
    return pem, key, der


def issue_server_certificate(folder, name, authority):
    """A certificate for the server at 127.0.0.1 signed by AUTHORITY, followed by the authority's:
    (certificate chain, key) PEM paths."""
    pem, key, request, extensions = (os.path.join(folder, name + ext)
                                     for ext in (".pem", ".key", ".csr", ".ext"))
    # Wine's name check compares the host with DNS names only, so the address is given as both.
    with open(extensions, "w") as f:
        f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\n"
                "extendedKeyUsage=serverAuth\nsubjectAltName=IP:127.0.0.1,DNS:127.0.0.1\n")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", request,
            "-subj", "/CN=127.0.0.1")
    openssl("x509", "-req", "-in", request, "-CA", authority[0], "-CAkey", authority[1],
            "-set_serial", str(int.from_bytes(os.urandom(8), "big")), "-days", "2",
            "-extfile", extensions, "-out", pem)
    # The server presents the whole chain: only the trust in its authority decides.
    with open(pem, "a") as chain, open(authority[0]) as f:
        chain.write(f.read())
    return pem, key


class SecureFixtureSite(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory()
        trusted = make_authority(cls.dir.name, "trusted")
        cls.trusted_server = issue_server_certificate(cls.dir.name, "trusted-server", trusted)
        unknown = make_authority(cls.dir.name, "unknown")
        cls.unknown_server = issue_server_certificate(cls.dir.name, "unknown-server", unknown)
        added = winebed.run("trust_root", [winebed.windows_path(trusted[2])])
        assert added.returncode == 0, added.stderr

    @classmethod
    def tearDownClass(cls):
        cls.dir.cleanup()

    def site(self, name):
        root = os.path.join(self.dir.name, name)
        os.mkdir(root)
        return root

    def test_tree_equals_the_tree_of_the_http_crawl(self):
        refused = refused_port()
        trees = {}
        for scheme in ("http", "https"):
            root = self.site(scheme)
            server = (winebed.https_server(root, *self.trusted_server) if scheme == "https"
                      else winebed.http_server(root))
            with server as port:
                copy_site(root, SCHEME=scheme, PORT=port, REFUSED=refused)
                write_big_page(os.path.join(root, "big.html"))
                result = crawl("%s://127.0.0.1:%d/index.html" % (scheme, port),
                               "--depth", 2, "--timeout", 20)
            trees[scheme] = (port, result)
        (http_port, plain), (https_port, secure) = trees["http"], trees["https"]
        as_https = {"http://127.0.0.1:%d/" % p: "https://127.0.0.1:%d/" % q
                    for p, q in ((http_port, https_port), (refused, refused))}

        def secured(label):
            for old, new in as_https.items():
                label = label.replace(old, new)
            return label

        expected = [(depth, icon, secured(label)) for depth, icon, label in plain.tree]
        self.assertGreater(len(expected), 10, plain.stdout)
        self.assertEqual(expected[0][1], TOP_OF_CHART, plain.stdout)
        self.assertEqual(secure.tree, expected, secure.stdout)
        self.assertEqual(secure.returncode, 0)

    def test_certificate_from_an_unknown_authority_is_a_read_error(self):
        root = self.site("unknown")
        log = os.path.join(self.dir.name, "unknown.log")
        with winebed.https_server(root, *self.unknown_server, log=log) as port:
            copy_site(root, SCHEME="https", PORT=port, REFUSED=refused_port())
            url = "https://127.0.0.1:%d/index.html" % port
            result = crawl(url, "--depth", 2, "--timeout", 20)
        self.assertEqual(result.tree, [(0, READ_ERROR, url)], result.stdout)
        # The connection ends in the handshake: no page is ever asked for.
        self.assertEqual(winebed.requested_paths(log), [])


if __name__ == "__main__":
    unittest.main()
